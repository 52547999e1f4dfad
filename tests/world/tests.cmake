# The ground lookup, the bitmap loaders and LoadWorld on small synthetic worlds.
gf_test(world_tests SOURCES world/LoadWorldTests.cpp LIBS gf_test_game)
