#include "world.h"
#include "Types3d/Types3d.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace worldgen
{

LevelledArea LevelledAreaOf(Point site)
{
    // Truncation toward zero, as the game does it.
    return {int((site.x - house::REFERENCE_X) / CELL_SIZE),
            int((site.y - house::REFERENCE_Y) / CELL_SIZE)};
}

bool TreeCrowdsHouse(double x, double y, Point site)
{
    const double hx = site.x - house::REFERENCE_X, hy = site.y - house::REFERENCE_Y;
    const double margin = 9.0; // a tree's reach (4) plus room to walk round the corner
    if (x >= hx - margin && x <= hx + house::WIDTH + margin && y >= hy - margin &&
        y <= hy + house::DEPTH + margin)
        return true;
    for (const house::Window& w : house::WINDOW)
    {
        const double ex = hx + w.entry.x, ey = hy + w.entry.y;
        const double dx = x - ex, dy = y - ey;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < 14.0)
            return true;
        // Zombies appear 42 to 59 out, 45 degrees either side; keep a tree's width clear.
        if (d <= 68.0)
        {
            const double cosA = (dx * std::cos(w.outwardAngle) + dy * std::sin(w.outwardAngle)) / d;
            if (cosA >= std::cos(55.0 * PI / 180.0))
                return true;
        }
    }
    return false;
}

Walk WalkToShelter(const std::vector<Point>& houses)
{
    const Point* nearest = &houses.at(0);
    for (const Point& h : houses)
        if (std::hypot(h.x - START_X, h.y - START_Y) <
            std::hypot(nearest->x - START_X, nearest->y - START_Y))
            nearest = &h;
    // Far enough out that the walk never brushes the front wall, and in front of the opening.
    const double out = 12.0;
    const house::Window& door = house::WINDOW[0];
    return {START_X, START_Y,
            nearest->x - house::REFERENCE_X + door.entry.x + out * std::cos(door.outwardAngle),
            nearest->y - house::REFERENCE_Y + door.entry.y + out * std::sin(door.outwardAngle)};
}

double DistanceToWalk(double x, double y, const Walk& walk)
{
    const double dx = walk.x1 - walk.x0, dy = walk.y1 - walk.y0;
    const double length2 = dx * dx + dy * dy;
    const double along =
        length2 > 0 ? std::clamp(((x - walk.x0) * dx + (y - walk.y0) * dy) / length2, 0.0, 1.0)
                    : 0.0;
    return std::hypot(x - walk.x0 - along * dx, y - walk.y0 - along * dy);
}

bool InTheWayTo(Point tree, Point target)
{
    return std::hypot(tree.x - START_X, tree.y - START_Y) >
               std::hypot(target.x - START_X, target.y - START_Y) &&
           DistanceToWalk(tree.x, tree.y, {START_X, START_Y, double(target.x), double(target.y)}) <
               WALK_CLEARANCE;
}

int TriangleCount(int quads, int houses, int trees)
{
    return TERRAIN_TRIANGLES + 2 * quads * houses + 2 * trees + ZOMBIE_TRIANGLES;
}

static bool Degenerate(const Quad& q)
{
    auto sub = [](const std::array<int32_t, 3>& a, const std::array<int32_t, 3>& b)
    {
        return std::array<int64_t, 3>{int64_t(a[0]) - b[0], int64_t(a[1]) - b[1],
                                      int64_t(a[2]) - b[2]};
    };
    auto zeroCross = [](const std::array<int64_t, 3>& u, const std::array<int64_t, 3>& v)
    {
        return u[1] * v[2] - u[2] * v[1] == 0 && u[2] * v[0] - u[0] * v[2] == 0 &&
               u[0] * v[1] - u[1] * v[0] == 0;
    };
    // Triangles (A,B,C) and (B,D,C), as the game draws them.
    return zeroCross(sub(q.c[1], q.c[0]), sub(q.c[2], q.c[1])) ||
           zeroCross(sub(q.c[3], q.c[1]), sub(q.c[2], q.c[3]));
}

std::vector<std::string> CheckWorld(const World& w, const std::vector<Quad>& model)
{
    std::vector<std::string> bad;
    auto fail = [&](const std::string& s) { bad.push_back(s); };

    if (w.heights.size() != size_t(HEIGHTMAP_SIZE * HEIGHTMAP_SIZE))
        fail("heightmap must hold 128 x 128 points");
    else
    {
        int steepest = 0;
        for (int j = 0; j < HEIGHTMAP_SIZE; ++j)
            for (int i = 0; i < HEIGHTMAP_SIZE; ++i)
            {
                const int v = w.heights[j * HEIGHTMAP_SIZE + i];
                if (v < 0 || v > HIGHEST_GROUND_VALUE)
                    fail("height out of range at " + std::to_string(i) + "," + std::to_string(j));
                if (i + 1 < HEIGHTMAP_SIZE)
                    steepest =
                        std::max(steepest, std::abs(v - w.heights[j * HEIGHTMAP_SIZE + i + 1]));
                if (j + 1 < HEIGHTMAP_SIZE)
                    steepest =
                        std::max(steepest, std::abs(v - w.heights[(j + 1) * HEIGHTMAP_SIZE + i]));
            }
        if (steepest > MAX_HEIGHT_STEP)
            fail("terrain has a cliff: step of " + std::to_string(steepest) + " thirds");
    }

    const int hc = int(w.houses.size());
    if (hc < FEWEST_HOUSES || hc > MOST_HOUSES || hc > MAX_HOUSES)
        fail("house count " + std::to_string(hc) + " outside 8..16");
    bool nearStart = false;
    for (int k = 0; k < hc; ++k)
    {
        const Point h = w.houses[k];
        const LevelledArea a = LevelledAreaOf(h);
        if (h.x - 32 < 0 || h.y - 56 < 0 || a.gx < 0 || a.gy < 0 || a.gx + 8 > 127 ||
            a.gy + 12 > 127)
            fail("house " + std::to_string(k) + " levels ground outside the terrain");
        if (std::hypot(h.x - START_X, h.y - START_Y) <= NEAR_START)
            nearStart = true;
        for (int m = 0; m < k; ++m)
        {
            const LevelledArea b = LevelledAreaOf(w.houses[m]);
            if (a.gx <= b.gx + 8 && b.gx <= a.gx + 8 && a.gy <= b.gy + 12 && b.gy <= a.gy + 12)
                fail("houses " + std::to_string(m) + " and " + std::to_string(k) +
                     " level the same ground");
        }
    }
    if (!nearStart)
        fail("no house within reach of the start point");

    const int tc = int(w.trees.size());
    std::vector<Point> grove;
    const Walk walk = hc > 0 ? WalkToShelter(w.houses) : Walk{START_X, START_Y, START_X, START_Y};
    if (tc < FEWEST_TREES || tc > MOST_TREES)
        fail("tree count " + std::to_string(tc) + " outside 800..1500");
    for (int t = 0; t < tc; ++t)
    {
        const Point p = w.trees[t];
        if (p.x < 1 || p.y < 1 || p.x > 1523 || p.y > 1523)
            fail("tree " + std::to_string(t) + " off the terrain");
        const double fromStart = std::hypot(p.x - START_X, p.y - START_Y);
        if (fromStart < TREE_START_CLEAR)
            fail("tree " + std::to_string(t) + " crowds the start point");
        else if (fromStart <= GROVE_FAR)
            grove.push_back(p);
        if (hc > 0 && DistanceToWalk(p.x, p.y, walk) < WALK_CLEARANCE)
            fail("tree " + std::to_string(t) + " stands in the way to the nearest house");
        for (const Point& h : w.houses)
            if (TreeCrowdsHouse(p.x, p.y, h))
            {
                fail("tree " + std::to_string(t) + " crowds a house");
                break;
            }
    }

    if (grove.size() < size_t(FEWEST_GROVE_TREES) || grove.size() > size_t(MOST_GROVE_TREES))
        fail(std::to_string(grove.size()) + " trees near the start, not 5 or 6");
    for (const Point& a : grove)
        for (const Point& b : grove)
            if (InTheWayTo(a, b))
                fail("a tree near the start stands in the way to another");

    if (model.empty())
        fail("wall model is empty");
    for (size_t q = 0; q < model.size(); ++q)
        if (Degenerate(model[q]))
            fail("wall quad " + std::to_string(q) + " is degenerate");
    const int tris = TriangleCount(int(model.size()), hc, tc);
    if (tris > VERTEX_BUFFER_TRIANGLES)
        fail("world needs " + std::to_string(tris) + " triangles, buffer holds 37058");
    return bad;
}

} // namespace worldgen
