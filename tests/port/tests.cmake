# The port layer: the memory device, headless windows and scripted input.
gf_test(port_tests SOURCES port/MemoryDeviceTests.cpp port/HeadlessTests.cpp LIBS gf_port)
