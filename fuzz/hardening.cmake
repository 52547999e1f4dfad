# The world files (heightmap, map and wall model from one input) and the bitmap loaders.
gf_fuzzer(fuzz_world FuzzWorld.cpp gf_game_fuzz gf_bitmap)
gf_fuzzer(fuzz_bitmaps FuzzBitmaps.cpp gf_game_fuzz gf_bitmap)
