// What the rules tests share: the headless game on flat land with houses and trees, and
// the player, the night and its zombies set up by hand.
#pragma once

#include "Game/Game.h"
#include "Game/Globals.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace rules
{
using std::cos, std::sin, std::make_tuple;
using testgame::HeadlessGame, testgame::Input;

const double HX = 100.0, HY = 100.0; // the corner of the house most tests use

// The ground point so far from (x, y) at this bearing.
inline M3DVector Polar(double x, double y, double distance, double degrees)
{
    const double a = degrees * PI / 180.0;
    return M3DVector(x + distance * cos(a), y + distance * sin(a), 0.0);
}

inline testworld::World Land(const std::vector<house::Point>& corners,
                             const std::vector<testworld::Point>& trees = {})
{
    testworld::World world;
    for (const house::Point& c : corners)
        world.houses.push_back(testworld::HouseWithCorner(c.x, c.y));
    world.trees = trees;
    return world;
}

inline void Stand(double x, double y, double yaw = 0.0)
{
    game->posX = x;
    game->posY = y;
    game->yaw = yaw;
}

// 20:00 in house h, the player standing as given, nobody placed yet.
inline void NightIn(int32_t h, double x, double y, double yaw = 0.0)
{
    Stand(x, y, yaw);
    game->phase = PHASE_NIGHT;
    game->gameMinutes = 840;
    game->hour = 20;
    game->currentHouse = h;
    game->health = 100;
    game->zombieCount = 0;
    nextBoardDecay = 880;
}

// A fresh zombie at (x, y), bound for window 0 of the house at (HX, HY).
inline Zombie& AddZombie(double x, double y, bool reverse = false, bool inside = false)
{
    Zombie& z = game->zombies[game->zombieCount++] = Zombie();
    z.pos = M3DVector(x, y, 0.0);
    z.target = M3DVector(HX + house::WINDOW[0].entry.x, HY + house::WINDOW[0].entry.y, 0.0);
    z.reverseRoute = reverse;
    z.inside = inside;
    z.hitPoints = 10;
    return z;
}

inline Zombie& AddZombie(const M3DVector& p, bool reverse = false, bool inside = false)
{
    return AddZombie(p.x, p.y, reverse, inside);
}

inline void Updates(HeadlessGame& game, int n, uint32_t ms, const Input& input = Input())
{
    for (int i = 0; i < n; i++)
        game.Update(ms, input);
}

// How far apart two points are on the ground.
inline double Gap(const M3DVector& p, const M3DVector& q)
{
    return std::hypot(p.x - q.x, p.y - q.y);
}
} // namespace rules
