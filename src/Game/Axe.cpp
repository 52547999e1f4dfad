// The axe (felling trees by day, striking zombies by night) and boarding the windows.
#include "Game/Game.h"

#include "Game/Aim.h"

namespace
{
const double CHOP_RANGE = 5.0;
const double CHOP_ANGLE = PI / 9.0; // 20 degrees either side
const uint32_t SWING_MS = 150;
const uint32_t RECOVER_MS = 200;
const double FELLED_X = 5000.0; // out of the land, beyond reach for good

struct Zone
{
    double x0, y0, x1, y1;
};

// Where the player stands, just inside each window, to nail boards to it.
const Zone WINDOW_ZONES[WINDOWS_PER_HOUSE] = {{27.0, 2.0, 37.0, 9.0},
                                              {2.0, 95.0, 9.0, 105.0},
                                              {55.0, 22.0, 62.0, 31.0},
                                              {55.0, 86.0, 62.0, 95.0},
                                              {44.0, 103.0, 53.0, 110.0}};
} // namespace

void CGame::UseAxe()
{
    if (axeState != 0)
        return;
    axeState = 1;
    axeStartTime = timeGetTime();

    if (phase == 0)
    {
        // The first tree in the list that is in reach falls, not the nearest.
        for (int32_t i = 0; i < treeCount; i++)
            if (InFront(posX, posY, yaw, CHOP_RANGE, CHOP_ANGLE, trees[i].x, trees[i].y))
            {
                ChopTree(i);
                break;
            }
    }
    else if (phase == 1 || phase == 2)
        StrikeZombie();
}

void CGame::AxeTiming()
{
    if (axeState == 1 && timeGetTime() - axeStartTime > SWING_MS)
        axeState = 2;
    if (axeState == 2 && timeGetTime() - axeStartTime > RECOVER_MS)
        axeState = 0;
}

void CGame::ChopTree(int32_t tree)
{
    trees[tree].x = FELLED_X;
    wood += 1;
}

void CGame::NailBoard()
{
    int32_t k = WindowAt(posX, posY);
    if (k == -1 || wood == 0)
        return;
    int32_t& count = boards[k / WINDOWS_PER_HOUSE][k % WINDOWS_PER_HOUSE];
    if (count == MAX_BOARDS)
        return;
    count += 1;
    wood -= 1;
}

int32_t CGame::WindowAt(double x, double y)
{
    for (int32_t i = 0; i < houseCount; i++)
    {
        int32_t w = WindowInHouse(x, y, i);
        if (w != -1)
            return i * WINDOWS_PER_HOUSE + w;
    }
    return -1;
}

int32_t CGame::WindowInHouse(double x, double y, int32_t house)
{
    double hx = houses[house].x;
    double hy = houses[house].y;
    if (!InRect(x, y, hx, hy, hx + 64.0, hy + 112.0))
        return -1;
    double lx = x - hx;
    double ly = y - hy;
    for (int32_t w = 0; w < WINDOWS_PER_HOUSE; w++)
        if (InRect(lx, ly, WINDOW_ZONES[w].x0, WINDOW_ZONES[w].y0, WINDOW_ZONES[w].x1,
                   WINDOW_ZONES[w].y1))
            return w;
    return -1;
}
