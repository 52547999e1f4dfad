# The graphics layer on the in-memory device.
gf_test(gedx_tests SOURCES gedx/DeviceTests.cpp LIBS gf_game gf_port)
