#include "placement.h"

#include "heightmap.h"
#include "Types3d/Types3d.h"

#include <cmath>
#include <stdexcept>

namespace worldgen
{

namespace
{

constexpr double HOUSE_GAP = 70.0; // each house keeps this much of its own ground all round

bool TooClose(Point a, const std::vector<Point>& houses)
{
    for (const Point& b : houses)
        if (std::fabs(double(a.x - b.x)) < house::WIDTH + 2 * HOUSE_GAP &&
            std::fabs(double(a.y - b.y)) < house::DEPTH + 2 * HOUSE_GAP)
            return true;
    return false;
}

// The smoothest of several random candidates from the given corner range.
bool PickSite(Rng& rng, const std::vector<int32_t>& h, const std::vector<Point>& placed, int x0lo,
              int x0hi, int y0lo, int y0hi, int candidates, Point& out)
{
    int best = 1 << 30;
    for (int tries = 0, found = 0; tries < 4000 && found < candidates; ++tries)
    {
        const Point p{rng.Int(x0lo, x0hi) + 32, rng.Int(y0lo, y0hi) + 56};
        if (TooClose(p, placed))
            continue;
        ++found;
        const int rough = SiteRoughness(h, p);
        if (rough < best)
        {
            best = rough;
            out = p;
        }
    }
    return best < (1 << 30);
}

} // namespace

std::vector<Point> PlaceHouses(Rng& rng, const std::vector<int32_t>& heights, int count)
{
    std::vector<Point> houses;
    Point p;
    // Footprint corners 24..56 keep the reference point within ~125 of the start.
    if (!PickSite(rng, heights, houses, 24, 56, 24, 40, 60, p))
        throw std::runtime_error("no site for the first house");
    houses.push_back(p);
    // Leave room for the night's zombies between the outer houses and the map edge.
    while (int(houses.size()) < count)
    {
        if (!PickSite(rng, heights, houses, 60, 1390, 60, 1320, 25, p))
            break;
        houses.push_back(p);
    }
    return houses;
}

std::vector<Point> PlaceGrove(Rng& rng, const std::vector<Point>& houses)
{
    const Walk walk = WalkToShelter(houses);
    const int wanted = rng.Int(FEWEST_GROVE_TREES, MOST_GROVE_TREES);
    std::vector<Point> grove;
    for (int tries = 0; tries < 20000 && int(grove.size()) < wanted; ++tries)
    {
        // A unit inside the ring either way, so rounding keeps it there.
        const double r = rng.Range(TREE_START_CLEAR + 1, GROVE_FAR - 1), a = rng.Range(0, PI / 2);
        const Point p{int32_t(std::lround(START_X + r * std::cos(a))),
                      int32_t(std::lround(START_Y + r * std::sin(a)))};
        bool fits = p.x >= 4 && p.y >= 4 && DistanceToWalk(p.x, p.y, walk) >= WALK_CLEARANCE;
        for (const Point& h : houses)
            fits = fits && !TreeCrowdsHouse(p.x, p.y, h);
        for (const Point& g : grove)
            fits = fits && std::hypot(double(g.x - p.x), double(g.y - p.y)) >= WALK_CLEARANCE &&
                   !InTheWayTo(g, p) && !InTheWayTo(p, g);
        if (fits)
            grove.push_back(p);
    }
    return grove;
}

std::vector<Point> PlaceTrees(Rng& rng, const std::vector<Point>& houses,
                              const std::vector<Point>& grove, int count)
{
    const Walk walk = WalkToShelter(houses);
    struct Clump
    {
        double x, y, r;
    };
    std::vector<Clump> clumps(size_t(rng.Int(30, 42)));
    double totalWeight = 0;
    for (Clump& c : clumps)
    {
        c = {rng.Range(30, 1494), rng.Range(30, 1494), rng.Range(22, 95)};
        totalWeight += c.r;
    }

    // A coarse bucket grid for the spacing test.
    constexpr int B = 48;
    std::vector<std::vector<int>> bucket(size_t(B) * B);
    std::vector<Point> trees;
    auto fits = [&](int x, int y)
    {
        if (x < 4 || y < 4 || x > 1520 || y > 1520)
            return false;
        // Nothing between the start and the grove's far side, or on the way to shelter.
        if (std::hypot(x - START_X, y - START_Y) < GROVE_FAR + WALK_CLEARANCE ||
            DistanceToWalk(x, y, walk) < WALK_CLEARANCE)
            return false;
        for (const Point& h : houses)
            if (TreeCrowdsHouse(x, y, h))
                return false;
        const int bx = x / 32, by = y / 32;
        for (int j = std::max(0, by - 1); j <= std::min(B - 1, by + 1); ++j)
            for (int i = std::max(0, bx - 1); i <= std::min(B - 1, bx + 1); ++i)
                for (int t : bucket[size_t(j) * B + i])
                    if (std::hypot(double(trees[t].x - x), double(trees[t].y - y)) < 6.0)
                        return false;
        return true;
    };

    for (const Point& g : grove)
    {
        bucket[size_t(g.y / 32) * B + g.x / 32].push_back(int(trees.size()));
        trees.push_back(g);
    }
    for (int attempt = 0; attempt < 400000 && int(trees.size()) < count; ++attempt)
    {
        double x, y;
        if (rng.Unit() < 0.1)
        {
            x = rng.Range(4, 1520);
            y = rng.Range(4, 1520);
        }
        else
        {
            double pick = rng.Unit() * totalWeight;
            size_t c = 0;
            while (c + 1 < clumps.size() && pick > clumps[c].r)
                pick -= clumps[c++].r;
            x = clumps[c].x + rng.Normal() * clumps[c].r * 0.6;
            y = clumps[c].y + rng.Normal() * clumps[c].r * 0.6;
        }
        const int ix = int(std::lround(x)), iy = int(std::lround(y));
        if (!fits(ix, iy))
            continue;
        bucket[size_t(iy / 32) * B + ix / 32].push_back(int(trees.size()));
        trees.push_back({ix, iy});
    }
    return trees;
}

} // namespace worldgen
