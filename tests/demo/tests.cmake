# Demos recorded and played back through the real main loop.
gf_test(demo_tests SOURCES demo/DemoTests.cpp LIBS gf_test_game)
