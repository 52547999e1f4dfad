// The night's zombies: placed outside the player's house, walking in through the windows
// and round the rooms to him, striking in reach, and falling under the axe.
#include "Game/Game.h"
#include "Game/GameClock.h"

#include "Game/Aim.h"
#include "Game/Random.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Types3d/Trig.h"

#include <cmath>

namespace
{
const double ZOMBIE_STEP = 0.4;
const double ZOMBIE_HEIGHT = 7.0;
const double REACH = 3.5;           // strikes from closer than this
const double LOOKED_AT = PI / 60.0; // 3 degrees
const uint32_t BLOW_DELAY_MS = 200;
const uint32_t RECOVER_MS = 700;
const double SIDE_STEP_TURN = PI / 10.0;
const int32_t SIDE_STEP_FRAMES = 5;
const double SIDE_STEP_WIDEN = 3.0;
const double BOARD_CLEARANCE = 1.8;
const double PLAYER_CLEARANCE = 3.3;
const double CROWD_SPACING = 2.0;
const double AXE_RANGE = 4.0;
const double AXE_ANGLE = 0.2792526803190927; // 16 degrees

// A step of 0.4 towards (dx, dy); false when already there, where there is no direction
// to walk in and the zombie stays put this frame.
bool StepTowards(double dx, double dy, M3DVector& step)
{
    if (dx == 0.0 && dy == 0.0)
        return false;
    M3DVector n = Normalise(M3DVector(dx, dy, 0.0));
    step = M3DVector(ZOMBIE_STEP * n.x, ZOMBIE_STEP * n.y, ZOMBIE_STEP * n.z);
    return true;
}
} // namespace

void CGame::PlaceZombies()
{
    double hx = houses[currentHouse].x;
    double hy = houses[currentHouse].y;

    zombieCount = zombiesPerNight > MAX_ZOMBIES ? MAX_ZOMBIES : zombiesPerNight;
    for (int32_t i = 0; i < zombieCount; i++)
    {
        int32_t w = Random::rand() % house::WINDOWS;
        double a = (Random::rand() % 181 - 90) * PI / 180.0 * 0.5;
        int32_t d = Random::rand() % 18 + 42;

        const house::Window& window = house::WINDOW[w];
        double ex = hx + window.entry.x;
        double ey = hy + window.entry.y;
        double theta = window.outwardAngle;

        Zombie& z = zombies[i];
        z.pos = M3DVector(ex + d * trig::Cos(theta + a), ey + d * trig::Sin(theta + a), 0.0);
        z.target = M3DVector(ex, ey, 0.0);
        z.inside = false;
        z.reverseRoute = (i % 2) == 1;
        z.hitPoints = 10;
        z.avoiding = false;
    }
}

void CGame::SetZombieQuadHeights()
{
    double hz = houses[currentHouse].z;
    int32_t base = terrainTriangles + wallTriangles + treeTriangles;

    device->Lock(0, 0);
    for (int32_t k = 0; k < zombieCount; k++)
    {
        DXVertexTL* first = device->GetVBTri(base + 2 * k);
        first[0].z = float(hz + ZOMBIE_HEIGHT);
        first[1].z = float(hz + ZOMBIE_HEIGHT);
        first[2].z = float(hz);
        DXVertexTL* second = device->GetVBTri(base + 2 * k + 1);
        second[0].z = float(hz + ZOMBIE_HEIGHT);
        second[1].z = float(hz);
        second[2].z = float(hz);
    }
    device->Unlock();
}

void CGame::UpdateZombies()
{
    playerArea = AreaAt(posX, posY);
    for (int32_t i = 0; i < zombieCount; i++)
        UpdateZombie(i);
}

void CGame::UpdateZombie(int32_t i)
{
    Zombie& z = zombies[i];
    double hx = houses[currentHouse].x;
    double hy = houses[currentHouse].y;

    double r = Distance(z.pos.x, z.pos.y, posX, posY);
    if (r < REACH)
    {
        // Stared down, a zombie holds its blow where it is.
        if (AngleOff(yaw, z.pos.x - posX, z.pos.y - posY) <= LOOKED_AT)
            return;

        uint32_t now = GameTime();
        if (!z.attacking)
        {
            z.attacking = true;
            z.attackStart = now;
            z.struck = false;
        }
        else if (!z.struck && now - z.attackStart > BLOW_DELAY_MS)
        {
            health -= 1;
            z.struck = true;
            z.struckTime = GameTime();
        }
        else if (z.struck && now - z.struckTime > RECOVER_MS)
            z.attacking = false;
        return;
    }
    z.attacking = false;

    if (z.avoiding)
    {
        M3DVector c = z.avoidCentre;
        M3DVector away = z.pos - c;
        // On the very centre there is no bearing to turn from: the frame passes in place.
        if (away.x != 0.0 || away.y != 0.0 || away.z != 0.0)
        {
            M3DVector v = Normalise(away);
            double beta = ClampedAcos(v.x);
            double turned = z.avoidPositive ? beta + SIDE_STEP_TURN : beta - SIDE_STEP_TURN;
            MoveZombie(i, M3DVector(c.x + z.avoidRadius * trig::Cos(turned) - z.pos.x,
                                    c.y + z.avoidRadius * trig::Sin(turned) - z.pos.y, 0.0));
        }
        z.avoidSteps += 1;
        if (z.avoidSteps == SIDE_STEP_FRAMES)
            z.avoiding = false;
        return;
    }

    M3DVector step;
    if (!z.inside)
    {
        if (StepTowards(z.target.x - z.pos.x, z.target.y - z.pos.y, step))
            MoveZombie(i, step);
        const double m = house::INSIDE_MARGIN;
        if (InRect(z.pos.x, z.pos.y, hx + m, hy + m, hx + (house::WIDTH - m),
                   hy + (house::DEPTH - m)))
            z.inside = true;
    }

    if (z.inside)
    {
        int32_t a = AreaAt(z.pos.x, z.pos.y);
        if (a == playerArea)
        {
            if (StepTowards(posX - z.pos.x, posY - z.pos.y, step))
                MoveZombie(i, step);
        }
        else
        {
            // Round the ring of rooms, forwards or back; room 5 joins it too.
            const int32_t stops = house::ROOMS + 1;
            int32_t n = z.reverseRoute ? (a + stops - 1) % stops : (a + 1) % stops;
            const house::Point& waypoint = house::WAYPOINT[n];
            if (StepTowards(hx + waypoint.x - z.pos.x, hy + waypoint.y - z.pos.y, step))
                MoveZombie(i, step);
        }
    }
}

void CGame::MoveZombie(int32_t i, M3DVector step)
{
    Zombie& z = zombies[i];
    double hx = houses[currentHouse].x;
    double hy = houses[currentHouse].y;
    double nx = z.pos.x + step.x;
    double ny = z.pos.y + step.y;

    for (int32_t w = 0; w < house::WINDOWS; w++)
    {
        const house::Rect& s = house::WINDOW[w].opening;
        if (boards[currentHouse][w] >= 1 &&
            InExpandedRect(nx, ny, BOARD_CLEARANCE, hx + s.x0, hy + s.y0, hx + s.x1, hy + s.y1))
            return;
    }

    if (Distance(nx, ny, posX, posY) < PLAYER_CLEARANCE)
        return;

    int32_t a = AreaAt(nx, ny);
    for (int32_t j = 0; j < zombieCount; j++)
    {
        if (j == i)
            continue;
        const Zombie& other = zombies[j];
        if ((other.reverseRoute == z.reverseRoute || a == playerArea) &&
            Distance(nx, ny, other.pos.x, other.pos.y) < CROWD_SPACING)
        {
            // Outside the player's room a zombie waits behind the one ahead on its
            // route; in his room it walks round the other, wider each time it meets one.
            if (a != playerArea)
                return;
            if (!z.avoiding)
                z.avoidRadius = 0.0;
            z.avoiding = true;
            z.avoidCentre = other.pos;
            z.avoidPositive = (Random::rand() & 1) == 1;
            z.avoidSteps = 0;
            z.avoidRadius += SIDE_STEP_WIDEN;
            return;
        }
    }

    z.pos.x = nx;
    z.pos.y = ny;
}

int32_t CGame::AreaAt(double x, double y)
{
    if (currentHouse < 0 || currentHouse >= houseCount)
        return house::NO_ROOM;
    double lx = x - houses[currentHouse].x;
    double ly = y - houses[currentHouse].y;
    for (int32_t room = 0; room < house::ROOMS; room++)
    {
        const house::Rect& r = house::ROOM[room];
        if (InRect(lx, ly, r.x0, r.y0, r.x1, r.y1))
            return room;
    }
    return house::NO_ROOM;
}

void CGame::StrikeZombie()
{
    int32_t chosen = -1;
    double best = 0.0;
    for (int32_t i = 0; i < zombieCount; i++)
    {
        double s =
            AimScore(posX, posY, yaw, AXE_RANGE, AXE_ANGLE, zombies[i].pos.x, zombies[i].pos.y);
        if (s >= 0.0 && (chosen == -1 || s < best))
        {
            chosen = i;
            best = s;
        }
    }
    if (chosen != -1)
        HitZombie(chosen);
}

double CGame::AimScore(double px, double py, double yaw, double range, double maxAngle, double tx,
                       double ty)
{
    if (!InFront(px, py, yaw, range, maxAngle, tx, ty))
        return -1.0;
    return AngleOff(yaw, tx - px, ty - py) + range;
}

void CGame::HitZombie(int32_t i)
{
    zombies[i].hitPoints -= 1;
    if (zombies[i].hitPoints == 0)
    {
        zombieCount -= 1;
        for (int32_t k = i; k < zombieCount; k++)
            zombies[k] = zombies[k + 1];
    }
}
