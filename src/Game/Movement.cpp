// The player's walking: one fixed step per key per frame, refused against the edge of
// the land, trees, house walls and, by night, the house and the zombies.
#include "Game/Game.h"

#include "Game/Aim.h"

#include <cmath>

namespace
{
const double LAND_MIN = 1.0; // the playable square
const double LAND_MAX = 1535.0;
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

    bool refused = posX < LAND_MIN || posX > LAND_MAX || posY < LAND_MIN || posY > LAND_MAX;

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

    if (!refused && IsNight())
    {
        // Shut in for the night: the step must stay in the house, and a zombie just in
        // front of the player bars every step, whichever way it goes.
        if (currentHouse >= 0 && currentHouse < houseCount && !InHouse(posX, posY, currentHouse))
            refused = true;
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
    eyeZ = TerrainHeight(posX, posY) + EYE_HEIGHT;
}

bool CGame::CollidesWithHouses(double x, double y)
{
    for (int32_t i = 0; i < houseCount; i++)
        if (CollidesWithHouse(x, y, i))
            return true;
    return false;
}

bool CGame::CollidesWithHouse(double x, double y, int32_t h)
{
    const double hx = houses[h].x;
    const double hy = houses[h].y;
    auto touches = [&](double x0, double y0, double x1, double y1)
    { return InExpandedRect(x, y, PLAYER_WALL_RADIUS, x0, y0, x1, y1); };
    auto touchesPart = [&](const house::Rect& r)
    { return touches(hx + r.x0, hy + r.y0, hx + r.x1, hy + r.y1); };

    if (!touchesPart(house::FOOTPRINT))
        return false;

    // The front wall; window 0 lets the player through while it carries no board.
    const house::Rect& front = house::FRONT_WALL;
    const house::Rect& door0 = house::WINDOW[0].opening;
    if (boards[h][0] != 0
            ? touchesPart(front)
            : touches(hx + front.x0, hy + front.y0, hx + door0.x0 - WINDOW_MARGIN, hy + front.y1) ||
                  touches(hx + door0.x1 + WINDOW_MARGIN, hy + front.y0, hx + front.x1,
                          hy + front.y1))
        return true;

    // The left wall, with window 1.
    const house::Rect& left = house::LEFT_WALL;
    const house::Rect& door1 = house::WINDOW[1].opening;
    if (boards[h][1] != 0
            ? touchesPart(left)
            : touches(hx + left.x0, hy + left.y0, hx + left.x1, hy + door1.y0 - WINDOW_MARGIN) ||
                  touches(hx + left.x0, hy + door1.y1 + WINDOW_MARGIN, hx + left.x1, hy + left.y1))
        return true;

    // The back and right walls are always solid for the player, and so is the partition.
    return touchesPart(house::BACK_WALL) || touchesPart(house::RIGHT_WALL) ||
           touchesPart(house::PARTITION);
}

bool CGame::InHouse(double x, double y, int32_t h)
{
    return InRect(x, y, houses[h].x, houses[h].y, houses[h].x + house::WIDTH,
                  houses[h].y + house::DEPTH);
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
