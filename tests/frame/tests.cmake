# The frame: what a frame shows; the program's life, the input snapshot and the main window.
gf_test(frame_render_tests SOURCES frame/RenderTests.cpp LIBS gf_test_game)
gf_test(frame_loop_tests SOURCES frame/LoopTests.cpp frame/DesktopTests.cpp LIBS gf_test_game)
