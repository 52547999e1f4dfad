# The graphics layer on the in-memory device.
gf_test(gedx_tests
  SOURCES gedx/DeviceTests.cpp gedx/TextureTests.cpp
  LIBS gf_test_game)
