# The world files (heightmap, map and wall model from one input) and the bitmap loaders.
#
# libFuzzer steers by the coverage of the code it calls, so these two link a copy of the
# game units built with coverage instrumentation rather than the plain libraries.
file(GLOB gf_fuzz_game_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/Game/*.cpp ${PROJECT_SOURCE_DIR}/src/Gedx/*.cpp
  ${PROJECT_SOURCE_DIR}/src/Tlib/*.cpp ${PROJECT_SOURCE_DIR}/src/Types3d/*.cpp
  ${PROJECT_SOURCE_DIR}/src/input/*.cpp)
add_library(gf_game_fuzz STATIC ${gf_fuzz_game_sources})
target_include_directories(gf_game_fuzz PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(gf_game_fuzz PUBLIC gf_platform)
target_compile_options(gf_game_fuzz PRIVATE -fsanitize=fuzzer-no-link)

gf_fuzzer(fuzz_world FuzzWorld.cpp gf_game_fuzz)
gf_fuzzer(fuzz_bitmaps FuzzBitmaps.cpp gf_game_fuzz)
