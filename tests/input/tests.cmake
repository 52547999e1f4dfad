# The once-a-frame mouse and keyboard snapshot over the port's scripted DirectInput, and
# the gamepad beside it, on the port's XInput with SDL's virtual joystick as the pad.
gf_test(input_tests SOURCES input/InputTests.cpp input/GamepadTests.cpp LIBS gf_test_game)
find_package(SDL2 REQUIRED)
if(TARGET SDL2::SDL2)
  target_link_libraries(input_tests PRIVATE SDL2::SDL2)
else()
  target_include_directories(input_tests PRIVATE ${SDL2_INCLUDE_DIRS})
  target_link_libraries(input_tests PRIVATE ${SDL2_LIBRARIES})
endif()
