// The game's state: every value its rules change, listed once. A demo's end checksum and
// the tests' comparison of two games both read this list, so neither can leave one out.
#pragma once

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Random.h"

#include <cstdint>

// Calls value(name, index, v) for every value in a fixed order, v a double, an int32_t or a
// uint32_t; index is -1 for a single value, else the tree, window (house * 5 + window) or
// zombie it belongs to. Values the game has not set yet are left out: the swing's start
// while the axe is ready, health and the house until the first nightfall, the zombies and
// the player's room until a night has found him a house.
template <class Value> void ForEachStateValue(const CGame& g, Value&& value)
{
    value("gameState", -1, gameState);
    for (double v : {g.posX, g.posY, g.eyeZ, g.roll, g.pitch, g.yaw})
        value("player", -1, v);
    value("wood", -1, g.wood);
    value("axeState", -1, g.axeState);
    if (g.axeState != AXE_READY)
        value("axeStartTime", -1, g.axeStartTime);
    value("gameMinutes", -1, g.gameMinutes);
    value("hour", -1, g.hour);
    value("minute", -1, g.minute);
    value("lastTick", -1, g.lastTick);
    value("phase", -1, g.phase);
    value("nightfallTime", -1, g.nightfallTime);
    value("daybreakTime", -1, g.daybreakTime);
    value("zombiesPerNight", -1, g.zombiesPerNight);
    value("nextBoardDecay", -1, nextBoardDecay);
    value("random", -1, Random::State());
    for (int32_t h = 0; h < g.houseCount; h++)
        for (int32_t w = 0; w < house::WINDOWS; w++)
            value("boards", h * house::WINDOWS + w, g.boards[h][w]);
    for (int32_t t = 0; t < g.treeCount; t++)
    {
        value("tree.x", t, g.trees[t].x);
        value("tree.y", t, g.trees[t].y);
    }
    if (g.gameMinutes < 720)
        return;
    value("health", -1, g.health);
    value("currentHouse", -1, g.currentHouse);
    if (g.currentHouse < 0)
        return;
    value("playerArea", -1, g.playerArea);
    value("zombieCount", -1, g.zombieCount);
    for (int32_t i = 0; i < g.zombieCount; i++)
    {
        const Zombie& z = g.zombies[i];
        for (double v : {z.pos.x, z.pos.y, z.pos.z, z.target.x, z.target.y, z.target.z})
            value("zombie.pos,target", i, v);
        value("zombie.inside", i, int32_t(z.inside));
        value("zombie.reverseRoute", i, int32_t(z.reverseRoute));
        value("zombie.hitPoints", i, z.hitPoints);
        value("zombie.avoiding", i, int32_t(z.avoiding));
        for (double v : {z.avoidRadius, z.avoidCentre.x, z.avoidCentre.y, z.avoidCentre.z})
            value("zombie.avoidRadius,avoidCentre", i, v);
        value("zombie.avoidPositive", i, int32_t(z.avoidPositive));
        value("zombie.avoidSteps", i, z.avoidSteps);
        value("zombie.attacking", i, int32_t(z.attacking));
        value("zombie.attackStart", i, z.attackStart);
        value("zombie.struck", i, int32_t(z.struck));
        value("zombie.struckTime", i, z.struckTime);
    }
}
