// The world as the game reads it, and the limits it must keep.
#pragma once

#include "Game/House.h"
#include "Game/World.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace worldgen
{

// What a generated world holds; the game itself takes up to MAX_HOUSES houses.
constexpr int FEWEST_HOUSES = 8, MOST_HOUSES = 16;
constexpr int FEWEST_TREES = 800, MOST_TREES = 1500;
constexpr double NEAR_START = 150.0; // a shelter this close to the start point
// The first day: a ring of trees round the start, near enough to fell and board a window
// with before the first night, and nothing closer.
constexpr double TREE_START_CLEAR = 25.0, GROVE_FAR = 60.0;
constexpr int FEWEST_GROVE_TREES = 5, MOST_GROVE_TREES = 6;
// A tree this close to a first-day walk would stand in the way: the player keeps 4 from a
// trunk, and may wander a unit off the line.
constexpr double WALK_CLEARANCE = 6.0;
constexpr int HIGHEST_GROUND_VALUE = 300; // heightmap values are thirds of a unit
constexpr int MAX_HEIGHT_STEP = 21;       // between neighbouring points: 7 units in 12

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
    std::vector<int32_t> heights; // GRID * GRID, row by row
    std::vector<Point> houses;    // reference points (footprint centres)
    std::vector<Point> trees;
};

// Grid points the game flattens under a house: columns gx..gx+8, rows gy..gy+12.
struct LevelledArea
{
    int gx, gy;
};
LevelledArea LevelledAreaOf(Point site);

// Whether a tree here would crowd a house: its walls and doors, or the ground
// outside each window where the night's zombies gather.
bool TreeCrowdsHouse(double x, double y, Point site);

// The first day's walk to shelter: from the start point to just outside the front doorway
// (window 0) of the nearest house, from where the player steps straight in.
struct Walk
{
    double x0, y0, x1, y1;
};
Walk WalkToShelter(const std::vector<Point>& houses);
double DistanceToWalk(double x, double y, const Walk& walk);

// Whether a tree stands in the way of walking straight from the start to a grove tree.
// The player fells the nearest first, so only trees farther out than the target count.
bool InTheWayTo(Point tree, Point target);

int TriangleCount(int quads, int houses, int trees);

// Every limit the game enforces at load, plus the rules that keep the world
// playable. Returns a list of problems; empty means the world may ship.
std::vector<std::string> CheckWorld(const World& w, const std::vector<Quad>& model);

} // namespace worldgen
