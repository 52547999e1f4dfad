# Demos recorded and played back through the real main loop, and the shipped demo.
gf_test(demo_tests SOURCES demo/DemoTests.cpp LIBS gf_test_game)
target_compile_definitions(demo_tests PRIVATE SHIPPED_WORLD_DIR="${CMAKE_BINARY_DIR}"
  SHIPPED_DEMO="${PROJECT_SOURCE_DIR}/demos/first-day.demo")
if(TARGET world)
  add_dependencies(demo_tests world)
endif()
