// The axe (felling trees by day, striking zombies by night) and boarding the windows.
#include "Game/Game.h"
#include "Game/GameClock.h"

#include "Game/Aim.h"

namespace
{
const double CHOP_RANGE = 5.0;
const double CHOP_ANGLE = PI / 9.0; // 20 degrees either side
const uint32_t SWING_MS = 150;
const uint32_t RECOVER_MS = 200;
const double FELLED_X = 5000.0; // out of the land, beyond reach for good
} // namespace

void CGame::UseAxe()
{
    if (axeState != AXE_READY)
        return;
    axeState = AXE_SWINGING;
    axeStartTime = GameTime();

    if (phase == PHASE_DAY)
    {
        // The first tree in the list that is in reach falls, not the nearest.
        for (int32_t i = 0; i < treeCount; i++)
            if (InFront(posX, posY, yaw, CHOP_RANGE, CHOP_ANGLE, trees[i].x, trees[i].y))
            {
                ChopTree(i);
                break;
            }
    }
    else if (IsNight())
        StrikeZombie();
}

void CGame::AxeTiming()
{
    if (axeState == AXE_SWINGING && GameTime() - axeStartTime > SWING_MS)
        axeState = AXE_RECOVERING;
    if (axeState == AXE_RECOVERING && GameTime() - axeStartTime > RECOVER_MS)
        axeState = AXE_READY;
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
    int32_t& count = boards[k / house::WINDOWS][k % house::WINDOWS];
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
            return i * house::WINDOWS + w;
    }
    return -1;
}

int32_t CGame::WindowInHouse(double x, double y, int32_t h)
{
    if (!InHouse(x, y, h))
        return -1;
    double lx = x - houses[h].x;
    double ly = y - houses[h].y;
    for (int32_t w = 0; w < house::WINDOWS; w++)
    {
        const house::Rect& zone = house::WINDOW[w].standingZone;
        if (InRect(lx, ly, zone.x0, zone.y0, zone.x1, zone.y1))
            return w;
    }
    return -1;
}
