# The graphics layer on the in-memory device.
gf_test(gedx_tests
  SOURCES gedx/DeviceTests.cpp gedx/TextureTests.cpp support/TestWorld.cpp
  LIBS gf_game gf_gedx gf_game gf_port)
