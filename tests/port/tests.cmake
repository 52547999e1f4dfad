# The port layer: the memory device, headless windows and scripted input.
gf_test(port_tests SOURCES port/HeadlessTests.cpp LIBS gf_port gf_input)

# The OpenGL device's pixels, in a virtual X server with Mesa's software renderer.
add_executable(port_pixel_tests port/PixelTests.cpp port/DisplayMain.cpp)
target_link_libraries(port_pixel_tests PRIVATE gf_test_support gf_port GTest::gtest)
find_program(XVFB_RUN xvfb-run)
if(XVFB_RUN)
  add_test(NAME port_pixel_tests
           COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24"
                   env LIBGL_ALWAYS_SOFTWARE=1 $<TARGET_FILE:port_pixel_tests>)
else()
  add_test(NAME port_pixel_tests COMMAND $<TARGET_FILE:port_pixel_tests>)
endif()
set_tests_properties(port_pixel_tests PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/port/lsan.supp")

# A night scene drawn by the OpenGL device with the shipped world, in a virtual X server.
add_executable(port_night_scene_tests port/NightSceneTests.cpp port/DisplayMain.cpp)
target_link_libraries(port_night_scene_tests PRIVATE gf_test_support gf_shell GTest::gtest)
if(XVFB_RUN)
  add_test(NAME port_night_scene COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" env LIBGL_ALWAYS_SOFTWARE=1 $<TARGET_FILE:port_night_scene_tests>)
  set_tests_properties(port_night_scene PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77
    ENVIRONMENT "GLOAMFIELD_WORLD_DIR=${CMAKE_BINARY_DIR};GLOAMFIELD_SCREENSHOT_DIR=${CMAKE_CURRENT_BINARY_DIR};LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/port/lsan.supp")
endif()
