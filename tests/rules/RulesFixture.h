// A game object built by hand for the rules: a flat, empty land with the houses, trees
// and zombies a test puts on it, the test clock, and an input snapshot the test sets.
#pragma once

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "input/DXInput.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

const double TEST_PI = 3.14159265358979323846;

inline double Degrees(double d)
{
    return d * TEST_PI / 180.0;
}

// The snapshot for one frame in `dxInput`: the previous keys become prevKeys as the input
// step does.
inline void HoldInput(std::initializer_list<int> keyCodes, bool left = false, bool right = false,
                      int32_t turn = 0)
{
    std::memcpy(dxInput->prevKeys, dxInput->keys, sizeof dxInput->keys);
    dxInput->prevRightButton = dxInput->mouseState.rgbButtons[1] != 0;
    std::memset(dxInput->keys, 0, sizeof dxInput->keys);
    for (int k : keyCodes)
        dxInput->keys[k] = 0x80;
    dxInput->mouseState.rgbButtons[0] = left ? 0x80 : 0;
    dxInput->mouseState.rgbButtons[1] = right ? 0x80 : 0;
    dxInput->mouseState.lX = turn;
    dxInput->mouseState.lY = 0;
}

class RulesFixture : public ::testing::Test
{
  protected:
    CGame* g = nullptr;
    DXInput* savedInput = nullptr;
    DXDevice* savedDevice = nullptr;
    int32_t savedSensitivity = 0;
    DWORD startTime = 1000000;

    void SetUp() override
    {
        port::UseTestClock(startTime);
        savedInput = dxInput;
        savedDevice = device;
        savedSensitivity = MouseSensitivity;
        dxInput = new DXInput();
        device = nullptr;
        MouseSensitivity = 100;
        gameState = 0;

        g = new CGame();
        g->heightMap = new int32_t[16384]{};
        g->zombies = new Zombie[MAX_ZOMBIES];
        g->terrainTriangles = 32258;
        g->wallTriangles = 0;
        g->treeTriangles = 0;
        g->zombieTriangles = 160;
        g->houseCount = 0;
        g->treeCount = 0;
        SetHouses({});
        SetTrees({});
        g->Reset();
        g->zombieCount = 0;
        g->currentHouse = -1;
        g->playerArea = 5;
        g->health = 100;
        nextBoardDecay = 760;
    }

    void TearDown() override
    {
        delete g;
        delete dxInput;
        dxInput = savedInput;
        device = savedDevice;
        MouseSensitivity = savedSensitivity;
        gameState = 0;
        port::UseRealClock();
    }

    // House corners (footprint origins); the ground is flat at 0.
    void SetHouses(const std::vector<std::pair<double, double>>& corners)
    {
        delete[] g->houses;
        g->houses = new M3DVector[corners.size() + 1];
        for (size_t i = 0; i < corners.size(); i++)
            g->houses[i] = M3DVector(corners[i].first, corners[i].second, 0.0);
        g->houseCount = int32_t(corners.size());
    }

    void SetTrees(const std::vector<std::pair<double, double>>& positions)
    {
        delete[] g->trees;
        g->trees = new M3DVector[positions.size() + 1];
        for (size_t i = 0; i < positions.size(); i++)
            g->trees[i] = M3DVector(positions[i].first, positions[i].second, 0.0);
        g->treeCount = int32_t(positions.size());
        g->treeTriangles = 2 * g->treeCount;
    }

    void Place(double x, double y, double yaw = 0.0)
    {
        g->posX = x;
        g->posY = y;
        g->yaw = yaw;
    }

    // Night in house h with the player at local (lx, ly) and no zombies yet.
    void Night(int32_t h, double lx, double ly, double yaw = 0.0)
    {
        g->phase = 2;
        g->hour = 20; // well inside the night, far from daybreak
        g->minute = 0;
        g->gameMinutes = 840;
        g->currentHouse = h;
        Place(g->houses[h].x + lx, g->houses[h].y + ly, yaw);
        g->zombieCount = 0;
    }

    // A fresh zombie record at world (x, y), outside and walking to (tx, ty).
    Zombie& AddZombie(double x, double y, double tx, double ty, bool reverse = false)
    {
        Zombie& z = g->zombies[g->zombieCount++];
        z.pos = M3DVector(x, y, 0.0);
        z.target = M3DVector(tx, ty, 0.0);
        z.inside = false;
        z.reverseRoute = reverse;
        z.hitPoints = 10;
        z.avoiding = false;
        z.avoidRadius = 0.0;
        z.avoidSteps = 0;
        z.avoidPositive = false;
        z.attacking = false;
        z.struck = false;
        z.attackStart = 0;
        z.struckTime = 0;
        return z;
    }

    void Hold(std::initializer_list<int> keyCodes, bool left = false, bool right = false)
    {
        HoldInput(keyCodes, left, right);
    }

    // One frame of the game after ms milliseconds.
    void Frame(DWORD ms)
    {
        port::AdvanceTestClock(ms);
        g->Update();
    }

    double LocalX() const { return g->posX - g->houses[g->currentHouse].x; }
};
