# The game object: the rules at their edges and a scripted night, the world and its
# loading, and what a frame shows, read back from the in-memory device.
gf_test(game_tests LIBS gf_test_game SOURCES game/PlayerTests.cpp game/DayNightTests.cpp
        game/ZombieTests.cpp game/ScriptedNightTests.cpp game/LoadWorldTests.cpp
        game/RenderTests.cpp)
