# The real native program under a virtual display (not under the sanitizers: the
# software OpenGL driver is not built for them). A script that cannot run here (no X
# server, no compositor, no packaging tools) exits with 77: skipped.
if(NOT TARGET gloamfield OR GLOAMFIELD_SANITIZE)
  return()
endif()

# gf_e2e_test(NAME SCRIPT TIMEOUT ARG...): bash e2e/SCRIPT ARG..., alone on the machine.
function(gf_e2e_test name script timeout)
  add_test(NAME ${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} RUN_SERIAL TRUE LABELS e2e
                                          SKIP_RETURN_CODE 77)
endfunction()

set(e2e_game $<TARGET_FILE:gloamfield>)
gf_e2e_test(linux_game_end_to_end linux-game.sh 240 ${e2e_game} ${CMAKE_BINARY_DIR})
gf_e2e_test(linux_screens screens.sh 180 ${e2e_game} ${CMAKE_BINARY_DIR})
gf_e2e_test(linux_hostile_files hostile-files.sh 240 ${e2e_game} ${CMAKE_BINARY_DIR})
gf_e2e_test(linux_package package.sh 400 ${CMAKE_BINARY_DIR})
gf_e2e_test(linux_wayland_game wayland-game.sh 120 ${e2e_game} ${CMAKE_BINARY_DIR})

# The pad module is preloaded into the game by the test alone; the game never links it.
add_library(gf_virtual_pad MODULE ${CMAKE_CURRENT_SOURCE_DIR}/e2e/VirtualPad.cpp)
target_include_directories(gf_virtual_pad PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
find_package(SDL2 REQUIRED)
if(TARGET SDL2::SDL2)
  target_link_libraries(gf_virtual_pad PRIVATE SDL2::SDL2 ${CMAKE_DL_LIBS})
else()
  target_include_directories(gf_virtual_pad PRIVATE ${SDL2_INCLUDE_DIRS})
  target_link_libraries(gf_virtual_pad PRIVATE ${SDL2_LIBRARIES} ${CMAKE_DL_LIBS})
endif()
gf_e2e_test(linux_gamepad_end_to_end gamepad.sh 240 ${e2e_game} $<TARGET_FILE:gf_virtual_pad>
            ${CMAKE_BINARY_DIR})
