# A night scene drawn by the OpenGL device with the shipped world, in a virtual X server.
add_executable(render_tests render/NightSceneTests.cpp)
target_link_libraries(render_tests PRIVATE gf_test_support gf_game GTest::gtest GTest::gtest_main)
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME render_night_scene COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" env LIBGL_ALWAYS_SOFTWARE=1 $<TARGET_FILE:render_tests>)
  set_tests_properties(render_night_scene PROPERTIES TIMEOUT 120
    ENVIRONMENT "GLOAMFIELD_WORLD_DIR=${CMAKE_BINARY_DIR};GLOAMFIELD_SCREENSHOT_DIR=${CMAKE_CURRENT_BINARY_DIR};LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/port/lsan.supp")
endif()
