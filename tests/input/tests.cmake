# The once-a-frame mouse and keyboard snapshot over the port's scripted DirectInput.
gf_test(input_tests SOURCES input/InputTests.cpp LIBS gf_test_game)
