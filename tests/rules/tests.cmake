gf_test(rules_tests
  SOURCES rules/MovementTests.cpp rules/DayNightTests.cpp rules/AxeTests.cpp rules/ZombieTests.cpp
          rules/ScriptedNightTests.cpp support/TestWorld.cpp
  LIBS gf_game)
