# The real native program under a virtual display (not under the sanitizers: the
# software OpenGL driver is not built for them). A script that cannot run here (no X
# server, no compositor, no packaging tools) exits with 77: skipped.
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_test(NAME linux_game_end_to_end
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/linux-game.sh $<TARGET_FILE:gloamfield> ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_game_end_to_end PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_test(NAME linux_screens
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/screens.sh $<TARGET_FILE:gloamfield> ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_screens PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_test(NAME linux_hostile_files
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/hostile-files.sh $<TARGET_FILE:gloamfield> ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_hostile_files PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_test(NAME linux_package COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/package.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_package PROPERTIES TIMEOUT 400 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_test(NAME linux_wayland_game
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/wayland-game.sh $<TARGET_FILE:gloamfield> ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_wayland_game PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
# The pad module is preloaded into the game by the test alone; the game never links it.
if(TARGET gloamfield AND NOT GLOAMFIELD_SANITIZE)
  add_library(gf_virtual_pad MODULE ${CMAKE_CURRENT_SOURCE_DIR}/e2e/VirtualPad.cpp)
  target_include_directories(gf_virtual_pad PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  find_package(SDL2 REQUIRED)
  if(TARGET SDL2::SDL2)
    target_link_libraries(gf_virtual_pad PRIVATE SDL2::SDL2 ${CMAKE_DL_LIBS})
  else()
    target_include_directories(gf_virtual_pad PRIVATE ${SDL2_INCLUDE_DIRS})
    target_link_libraries(gf_virtual_pad PRIVATE ${SDL2_LIBRARIES} ${CMAKE_DL_LIBS})
  endif()
  add_test(NAME linux_gamepad_end_to_end
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/gamepad.sh $<TARGET_FILE:gloamfield>
                   $<TARGET_FILE:gf_virtual_pad> ${CMAKE_BINARY_DIR})
  set_tests_properties(linux_gamepad_end_to_end PROPERTIES TIMEOUT 240 RUN_SERIAL TRUE LABELS e2e SKIP_RETURN_CODE 77)
endif()
