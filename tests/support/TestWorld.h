// Small synthetic worlds for tests, written as the game reads them: the three world files,
// every image of the game's list and GameSettings.ini.
#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testworld
{
struct Point
{
    int32_t x, y;
};

// One wall quad: corners A, B, C, D, each (x, y, z) in half units from the house corner.
struct Quad
{
    int32_t v[12];
};

// A wall along x at y = 0 from x0 to x1, z0 to z1 high: enough of a model to test with.
Quad UprightQuad(int32_t x0, int32_t x1, int32_t z0, int32_t z1);

// The map gives a house by its reference point, inside the footprint's corner.
Point HouseWithCorner(double cornerX, double cornerY);

struct World
{
    std::vector<int32_t> heights = std::vector<int32_t>(128 * 128, 0);
    std::vector<Point> houses;
    std::vector<Point> trees;
    std::vector<Quad> quads = {UprightQuad(0, 128, 0, 34)};
    // One update a frame, so a test's frames are the game's steps (UpdateRate has tests of
    // its own).
    std::string settings =
        "MouseSensitivity=100\nXResolution=1024\nYResolution=768\nUpdateRate=0\n";
    // A folder holding a whole world (GameSettings.ini and Data/) to copy instead of all
    // of the above: the shipped world, say.
    std::string copyFrom = {};
};

std::vector<uint8_t> ModelBytes(const std::vector<Quad>& quads);
std::vector<int32_t> MapInts(const std::vector<Point>& houses, const std::vector<Point>& trees);

// A 24-bit bottom-up bitmap; colour(x, y) gives 0xRRGGBB with y counted from the top.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height,
                            const std::function<uint32_t(int32_t, int32_t)>& colour);

// Every image of the game's list, each a solid grey at its size.
void WriteImages(const TempDir& dir);

// GameSettings.ini, hmap.dat, map.dat, HouseWl.mdl and every image.
void WriteWorld(const TempDir& dir, const World& world);
} // namespace testworld
