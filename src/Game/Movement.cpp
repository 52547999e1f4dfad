// The player's walking: one fixed step per key per frame, refused against the edge of
// the land, trees, house walls and, by night, the house and the zombies.
#include "Game/Game.h"

#include "Game/Aim.h"

#include <cmath>

namespace
{
const double PLAYER_WALL_RADIUS = 2.5;   // the player's radius against walls
const double WINDOW_MARGIN = 1.2;        // an open window's passage, widened each side
const double TREE_RADIUS_SQUARED = 16.0; // no closer than 4.0 to a tree centre
const double ZOMBIE_BLOCK_RANGE = 3.3;
const double ZOMBIE_BLOCK_ANGLE = PI / 5.0;
} // namespace

void CGame::MovePlayer(double dx, double dy)
{
    posX += dx;
    posY += dy;

    bool refused = posX < 1.0 || posX > 1535.0 || posY < 1.0 || posY > 1535.0;

    if (!refused)
        for (int32_t i = 0; i < treeCount; i++)
        {
            double tx = posX - trees[i].x;
            double ty = posY - trees[i].y;
            if (tx * tx + ty * ty < TREE_RADIUS_SQUARED)
            {
                refused = true;
                break;
            }
        }

    if (!refused && CollidesWithHouses(posX, posY))
        refused = true;

    if (!refused && (phase == 1 || phase == 2))
    {
        // Shut in for the night: the step must stay in the house, and a zombie just in
        // front of the player bars every step, whichever way it goes.
        if (currentHouse >= 0 && currentHouse < houseCount)
        {
            double hx = houses[currentHouse].x;
            double hy = houses[currentHouse].y;
            if (!InRect(posX, posY, hx, hy, hx + 64.0, hy + 112.0))
                refused = true;
        }
        if (!refused)
            for (int32_t i = 0; i < zombieCount; i++)
                if (InFront(posX, posY, yaw, ZOMBIE_BLOCK_RANGE, ZOMBIE_BLOCK_ANGLE,
                            zombies[i].pos.x, zombies[i].pos.y))
                {
                    refused = true;
                    break;
                }
    }

    if (refused)
    {
        posX -= dx;
        posY -= dy;
        return;
    }
    eyeZ = TerrainHeight(posX, posY) + 5.5;
}

bool CGame::CollidesWithHouses(double x, double y)
{
    for (int32_t i = 0; i < houseCount; i++)
        if (CollidesWithHouse(x, y, i))
            return true;
    return false;
}

bool CGame::CollidesWithHouse(double x, double y, int32_t house)
{
    const double r = PLAYER_WALL_RADIUS;
    double hx = houses[house].x;
    double hy = houses[house].y;

    if (!InExpandedRect(x, y, r, hx, hy, hx + 64.0, hy + 112.0))
        return false;

    // Front wall; window 0 lets the player through while it carries no board.
    if (boards[house][0] != 0)
    {
        if (InExpandedRect(x, y, r, hx, hy, hx + 64.0, hy + 0.5))
            return true;
    }
    else if (InExpandedRect(x, y, r, hx, hy, hx + 27.0 - WINDOW_MARGIN, hy + 0.5) ||
             InExpandedRect(x, y, r, hx + 37.0 + WINDOW_MARGIN, hy, hx + 64.0, hy + 0.5))
        return true;

    // Left wall, with window 1.
    if (boards[house][1] != 0)
    {
        if (InExpandedRect(x, y, r, hx, hy, hx + 0.5, hy + 112.0))
            return true;
    }
    else if (InExpandedRect(x, y, r, hx, hy, hx + 0.5, hy + 95.0 - WINDOW_MARGIN) ||
             InExpandedRect(x, y, r, hx, hy + 105.0 + WINDOW_MARGIN, hx + 0.5, hy + 112.0))
        return true;

    // The back and right walls are always solid for the player, and so is the partition.
    if (InExpandedRect(x, y, r, hx, hy + 111.5, hx + 64.0, hy + 112.0))
        return true;
    if (InExpandedRect(x, y, r, hx + 63.5, hy, hx + 64.0, hy + 112.0))
        return true;
    if (InExpandedRect(x, y, r, hx + 31.5, hy + 39.0, hx + 32.5, hy + 73.0))
        return true;
    return false;
}

bool CGame::InRect(double x, double y, double x0, double y0, double x1, double y1)
{
    return x0 <= x && x <= x1 && y0 <= y && y <= y1;
}

bool CGame::InExpandedRect(double x, double y, double r, double x0, double y0, double x1, double y1)
{
    return InRect(x, y, x0 - r, y0 - r, x1 + r, y1 + r);
}

double CGame::Distance(double x0, double y0, double x1, double y1)
{
    return std::sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0));
}

bool CGame::InFront(double px, double py, double yaw, double range, double maxAngle, double tx,
                    double ty)
{
    double dx = tx - px;
    double dy = ty - py;
    if (dx * dx + dy * dy > range * range)
        return false;
    return AngleOff(yaw, dx, dy) <= maxAngle;
}
