// Reading the three world files under Data\ and levelling the ground under the houses.
// The files are checked as they are read: a world that would overrun the game's tables,
// the heightmap or the vertex buffer is refused with a message naming the file.
#pragma once

#include "Game/Game.h"
#include "Tlib/TFile.h"

#include <cstdint>
#include <vector>

extern const char* const HEIGHTMAP_PATH;  // Data\hmap.dat
extern const char* const MAP_PATH;        // Data\map.dat
extern const char* const WALL_MODEL_PATH; // Data\HouseWl.mdl

// Throws _TFileException with the file's path at the front of the message.
[[noreturn]] void RefuseWorldFile(const char* path, const char* what);

// Fills 16384 heights from Data\hmap.dat; a file shorter than that, or a height beyond
// MAX_HEIGHT_VALUE either way, is refused.
void ReadHeightMap(int32_t* heights);

// Data\HouseWl.mdl as its corner values, twelve a quad: a file that is not a whole number
// of quads, at least one, is refused.
std::vector<int32_t> ReadWallModel();
// Refuses a model with a quad whose triangles (A, B, C) or (B, D, C) have repeated or
// collinear corners: they have no normal to be lit by.
void CheckWallModel(const std::vector<int32_t>& model);

// Data\map.dat, read an integer at a time; every count is checked against the bytes left
// before anything is made from it.
class MapFile
{
  public:
    MapFile();

    // The house count: 0 to 20, the rows of the boards table. The file's size must be the
    // one its two counts make.
    int32_t ReadHouseCount();
    // The tree count: not negative.
    int32_t ReadTreeCount();
    void ReadPoint(int32_t& x, int32_t& y);

  private:
    TFile file;
    uint32_t left; // bytes not yet read

    int32_t ReadCount(const char* things, int32_t most);
};

// Levels the ground under house `index` whose reference point is (x, y), as the houses
// before it left it, and returns its record: footprint corner and ground height. A house
// whose footprint or levelled area leaves the heightmap is refused.
M3DVector PlaceHouse(CGame& game, int32_t index, int32_t x, int32_t y);

// A tree must stand on the terrain: 0 <= x, y < 1536.
void CheckTree(int32_t index, int32_t x, int32_t y);
