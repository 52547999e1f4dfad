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
constexpr double TREE_START_CLEAR = 6.0;
constexpr int HIGHEST_GROUND_VALUE = 300; // heightmap values are thirds of a unit
constexpr int MAX_HEIGHT_STEP = 21;   // between neighbouring points: 7 units in 12

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

int TriangleCount(int quads, int houses, int trees);

// Every limit the game enforces at load, plus the rules that keep the world
// playable. Returns a list of problems; empty means the world may ship.
std::vector<std::string> CheckWorld(const World& w, const std::vector<Quad>& model);

} // namespace worldgen
