gf_test(rules_tests LIBS gf_test_game SOURCES rules/PlayerTests.cpp rules/DayNightTests.cpp
        rules/ZombieTests.cpp rules/ScriptedNightTests.cpp)
