// The hardening world and the input played on it, frame by frame: fell the trees stacked
// just ahead of the start point, walk east and then north into the house through window
// 0, nail all the wood there, and by night swing the axe while turning slowly.
#pragma once

#include "Game/Game.h"
#include "support/HeadlessGame.h"

#include <cmath>

namespace script
{
inline testworld::World World(int32_t trees, double houseX = 100.0)
{
    testworld::World w;
    for (int32_t k = 0; k < 128 * 128; k++) // gentle hills
        w.heights[size_t(k)] =
            int32_t(90 + 40 * std::sin(k % 128 / 9.0) * std::cos(k / 128 / 13.0));
    w.houses = {testworld::HouseWithCorner(houseX, 100.0)};
    w.trees.assign(size_t(trees), testworld::Point{9, 5});
    return w;
}

// Frame times from 20 to 60 ms, all of them in turn.
inline uint32_t Milliseconds(int32_t frame)
{
    return 20 + uint32_t(frame) * 37 % 41;
}

inline testgame::Input Input(int32_t frame, const CGame& g)
{
    testgame::Input in;
    in.left = frame < 100 || g.IsNight();
    if (frame >= 100 && frame < 328 && frame != 227) // 127 steps east, then 100 north
        in.keys = {DIK_W};
    in.mouseDX = frame == 227 ? 550 : g.IsNight() ? 20 : 0; // a quarter turn to the left
    if (frame >= 328 && !g.IsNight() && frame % 2 == 0)
        in.keys = {DIK_SPACE};
    return in;
}
} // namespace script
