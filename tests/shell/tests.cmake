# The program around the game: its life from start-up to the error box, the desktop,
# the steps, and demos recorded and played back through the real main loop.
gf_test(shell_tests SOURCES shell/LoopTests.cpp shell/DesktopTests.cpp shell/DemoTests.cpp
        shell/OptionsTests.cpp shell/StepsTests.cpp
        LIBS gf_test_game)
target_compile_definitions(shell_tests PRIVATE SHIPPED_WORLD_DIR="${CMAKE_BINARY_DIR}"
  SHIPPED_DEMO="${PROJECT_SOURCE_DIR}/demos/first-day.demo")
if(TARGET world)
  add_dependencies(shell_tests world)
endif()
