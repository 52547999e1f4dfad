# The frame: input snapshot, main window, world rendering, heads-up display, main loop.
gf_test(frame_input_tests SOURCES frame/InputTests.cpp frame/FormTests.cpp LIBS gf_input gf_tlib)
add_library(gf_frame_support STATIC frame/FrameSupport.cpp)
target_link_libraries(gf_frame_support PUBLIC gf_test_game)
gf_test(frame_render_tests SOURCES frame/RenderTests.cpp frame/HudTests.cpp LIBS gf_frame_support)
gf_test(frame_loop_tests SOURCES frame/LoopTests.cpp LIBS gf_frame_support)
