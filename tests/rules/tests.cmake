gf_test(rules_tests
  SOURCES rules/MovementTests.cpp rules/DayNightTests.cpp rules/AxeTests.cpp rules/ZombieTests.cpp
          rules/ScriptedNightTests.cpp
  LIBS gf_test_game)
