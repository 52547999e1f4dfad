# World files, world set-up and the bitmap loaders on small synthetic worlds.
gf_test(world_tests
  SOURCES world/TerrainTests.cpp world/LoadWorldTests.cpp world/BitmapTests.cpp
  LIBS gf_test_game)
