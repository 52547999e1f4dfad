# Hardening: the headless game played for a long time, replays, and a leak check.
add_library(gf_headless STATIC
  hardening/HeadlessGame.cpp hardening/ScriptedPlayer.cpp hardening/Timeline.cpp
 )
target_include_directories(gf_headless PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/hardening ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(gf_headless PUBLIC gf_test_game)

add_executable(gloamfield-record-replays hardening/RecordReplays.cpp)
target_link_libraries(gloamfield-record-replays PRIVATE gf_headless)

gf_test(hardening_tests
  SOURCES hardening/SoakTests.cpp hardening/ReplayTests.cpp
  LIBS gf_headless)
target_compile_definitions(hardening_tests PRIVATE
  REPLAY_DIR="${CMAKE_CURRENT_SOURCE_DIR}/hardening/replays")

# The leak check: a day and a night, start-up to shutdown, under valgrind. Sanitizer
# builds have their own leak checker and cannot run under valgrind.
add_executable(gloamfield-headless-run hardening/HeadlessRun.cpp)
target_link_libraries(gloamfield-headless-run PRIVATE gf_headless)
if(NOT GLOAMFIELD_SANITIZE)
  find_program(VALGRIND_PROGRAM valgrind)
  if(VALGRIND_PROGRAM)
    add_test(NAME headless_day_and_night_leak_check
             COMMAND ${VALGRIND_PROGRAM} --leak-check=full
                     --show-leak-kinds=definite,indirect,possible
                     --errors-for-leak-kinds=definite,indirect,possible
                     --error-exitcode=1 $<TARGET_FILE:gloamfield-headless-run>)
    set_tests_properties(headless_day_and_night_leak_check PROPERTIES TIMEOUT 600)
  else()
    message(WARNING "valgrind not found (scripts/install-deps.sh installs it): the leak check fails")
    add_test(NAME headless_day_and_night_leak_check COMMAND sh -c "echo valgrind is not installed; exit 1")
  endif()
endif()
