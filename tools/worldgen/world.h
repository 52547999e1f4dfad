// The world as the game reads it, and the limits it must keep.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace worldgen
{

constexpr int kGrid = 128;      // heightmap points per side
constexpr double kCell = 12.0;  // world units between heightmap points
constexpr double kStartX = 5.0; // where a new game puts the player
constexpr double kStartY = 5.0;
constexpr double kHouseW = 64.0; // footprint size; the reference point is its centre
constexpr double kHouseD = 112.0;
constexpr int kTerrainTriangles = 32258;
constexpr int kZombieTriangles = 160;
constexpr int kBufferTriangles = 37058;
constexpr int kMinHouses = 8, kMaxHouses = 16, kHardMaxHouses = 20;
constexpr int kMinTrees = 800, kMaxTrees = 1500;
constexpr double kNearStart = 150.0; // a shelter this close to the start point
constexpr double kTreeStartClear = 6.0;
constexpr int kMaxHeightValue = 300; // heightmap values are thirds of a unit
constexpr int kMaxHeightStep = 21;   // between neighbouring points: 7 units in 12

struct Point
{
    int32_t x = 0, y = 0;
    bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// One wall-model quad: corners A, B, C, D, each x, y, z in half units from the house corner.
struct Quad
{
    std::array<std::array<int32_t, 3>, 4> c{};
};

struct World
{
    std::vector<int32_t> heights; // kGrid * kGrid, row by row
    std::vector<Point> houses;    // reference points (footprint centres)
    std::vector<Point> trees;
};

// Zombie windows in house-local units: the entry point just inside the
// opening and the direction the window faces out.
struct WindowInfo
{
    double entryX, entryY;
    double outwardAngle;
};
extern const std::array<WindowInfo, 5> kWindows;

// Grid points the game flattens under a house: columns gx..gx+8, rows gy..gy+12.
struct LevelledArea
{
    int gx, gy;
};
LevelledArea LevelledAreaOf(Point house);

// Whether a tree here would crowd a house: its walls and doors, or the ground
// outside each window where the night's zombies gather.
bool TreeCrowdsHouse(double x, double y, Point house);

int TriangleCount(int quads, int houses, int trees);

// Every limit the game enforces at load, plus the rules that keep the world
// playable. Returns a list of problems; empty means the world may ship.
std::vector<std::string> CheckWorld(const World& w, const std::vector<Quad>& model);

} // namespace worldgen
