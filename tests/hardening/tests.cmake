# Hardening: whole games played headless, twice alike and for many days, and a leak check.
gf_test(hardening_tests SOURCES hardening/GameTests.cpp LIBS gf_test_game)

# The leak check: a day and a night, start-up to shutdown, under valgrind. Sanitizer
# builds have their own leak checker and cannot run under valgrind.
add_executable(gloamfield-headless-run hardening/HeadlessRun.cpp)
target_link_libraries(gloamfield-headless-run PRIVATE gf_test_game)
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
