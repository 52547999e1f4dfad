// The terrain and the map: the limits the game's loader relies on, and the
// rules that keep the world fair to play.
#include "world_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace wgtest;

namespace
{

const double PI = 3.14159265358979323846;

std::vector<int32_t> Heights()
{
    return ReadInt32s(ShippedWorld() + "/Data/hmap.dat");
}
MapFile Map()
{
    return ReadMap(ShippedWorld() + "/Data/map.dat");
}
size_t Quads()
{
    return ReadBytes(ShippedWorld() + "/Data/HouseWl.mdl").size() / 48;
}

int Steepest(const std::vector<int32_t>& h)
{
    int s = 0;
    for (int j = 0; j < 128; ++j)
        for (int i = 0; i < 128; ++i)
        {
            if (i < 127)
                s = std::max(s, std::abs(h[j * 128 + i] - h[j * 128 + i + 1]));
            if (j < 127)
                s = std::max(s, std::abs(h[j * 128 + i] - h[(j + 1) * 128 + i]));
        }
    return s;
}

// The game's ground lookup and its levelling under each house at load.
double Ground(const std::vector<int32_t>& h, double x, double y)
{
    const int i = int(std::floor(x / 12)), j = int(std::floor(y / 12));
    const double u = x / 12 - i, v = y / 12 - j;
    const int k = j * 128 + i;
    const double a = std::trunc(h[k] / 3.0), b = std::trunc(h[k + 1] / 3.0);
    const double c = std::trunc(h[k + 128] / 3.0), d = std::trunc(h[k + 129] / 3.0);
    const double left = a + (c - a) * v, right = b + (d - b) * v;
    return left + (right - left) * u;
}

std::vector<int32_t> Levelled(std::vector<int32_t> h, const std::vector<XY>& houses)
{
    for (const XY& p : houses)
    {
        const double g = Ground(h, p.x, p.y);
        const int gx = (p.x - 32) / 12, gy = (p.y - 56) / 12;
        for (int j = gy; j <= gy + 12; ++j)
            for (int i = gx; i <= gx + 8; ++i)
                h[j * 128 + i] = int32_t(std::trunc(g * 3.0));
    }
    return h;
}

// Outward direction and entry point of each window, house-local.
struct Win
{
    double ex, ey, angle;
};
const Win WINS[5] = {
    {32, 2, 1.5 * PI}, {2, 100, PI}, {62, 26.5, 0}, {62, 90.5, 0}, {48.5, 110, 0.5 * PI}};

} // namespace

TEST(Terrain, RollingHillsWithoutCliffs)
{
    const std::vector<int32_t> h = Heights();
    ASSERT_EQ(h.size(), 16384u);
    const auto [lo, hi] = std::minmax_element(h.begin(), h.end());
    EXPECT_GE(*lo, 0);
    EXPECT_LE(*hi, 320) << "about 100 units at most";
    EXPECT_GE(*hi - *lo, 150) << "hills, not a plain";
    EXPECT_LE(Steepest(h), 21) << "a step of more than 7 units between grid points";
}

TEST(Terrain, HousesStandOnGroundTheGameLevelsWithoutASeam)
{
    const std::vector<int32_t> h = Heights();
    const MapFile m = Map();
    ASSERT_TRUE(m.wellFormed);
    const std::vector<int32_t> after = Levelled(h, m.houses);
    EXPECT_LE(Steepest(after), 21) << "levelling at load leaves a step at a house's edge";
    int moved = 0;
    for (size_t k = 0; k < h.size(); ++k)
        moved = std::max(moved, std::abs(after[k] - h[k]));
    EXPECT_LE(moved, 3) << "the file's ground under a house is not already level";
}

TEST(Map, HousesFitTheTerrainAndKeepApart)
{
    const MapFile m = Map();
    ASSERT_TRUE(m.wellFormed);
    const int hc = int(m.houses.size());
    EXPECT_GE(hc, 8);
    EXPECT_LE(hc, 16);
    double nearest = 1e9;
    for (int k = 0; k < hc; ++k)
    {
        const XY p = m.houses[k];
        const int gx = (p.x - 32) / 12, gy = (p.y - 56) / 12;
        EXPECT_GE(p.x - 32, 0);
        EXPECT_GE(p.y - 56, 0);
        EXPECT_LE(gx + 8, 127) << "house " << k;
        EXPECT_LE(gy + 12, 127) << "house " << k;
        nearest = std::min(nearest, std::hypot(p.x - 5.0, p.y - 5.0));
        for (int o = 0; o < k; ++o)
        {
            const int ox = (m.houses[o].x - 32) / 12, oy = (m.houses[o].y - 56) / 12;
            const bool overlap = gx <= ox + 8 && ox <= gx + 8 && gy <= oy + 12 && oy <= gy + 12;
            EXPECT_FALSE(overlap) << "houses " << o << " and " << k << " level the same ground";
        }
    }
    EXPECT_LE(nearest, 150.0) << "no shelter within reach on the first day";
}

TEST(Map, TreesLeaveHousesWindowsAndTheStartClear)
{
    const MapFile m = Map();
    ASSERT_TRUE(m.wellFormed);
    EXPECT_GE(m.trees.size(), 800u);
    EXPECT_LE(m.trees.size(), 1500u);
    for (size_t t = 0; t < m.trees.size(); ++t)
    {
        const XY p = m.trees[t];
        SCOPED_TRACE("tree " + std::to_string(t));
        ASSERT_TRUE(p.x >= 1 && p.y >= 1 && p.x <= 1523 && p.y <= 1523) << "off the terrain";
        EXPECT_GE(std::hypot(p.x - 5.0, p.y - 5.0), 6.0);
        for (const XY& h : m.houses)
        {
            const double hx = h.x - 32, hy = h.y - 56;
            // Walls and doors: a tree's reach of 4 plus room to pass.
            EXPECT_FALSE(p.x > hx - 6 && p.x < hx + 70 && p.y > hy - 6 && p.y < hy + 118)
                << "tree against a house";
            if (std::hypot(p.x - h.x, p.y - h.y) > 200)
                continue;
            // Every point where a zombie can appear at nightfall: 42 to 59 out
            // from an entry point, up to 45 degrees off the window's facing.
            double closest = 1e9;
            for (const Win& w : WINS)
                for (int a = -90; a <= 90; a += 3)
                    for (int d = 42; d <= 59; ++d)
                    {
                        const double ang = w.angle + a * PI / 360;
                        closest =
                            std::min(closest, std::hypot(p.x - (hx + w.ex + d * std::cos(ang)),
                                                         p.y - (hy + w.ey + d * std::sin(ang))));
                    }
            EXPECT_GT(closest, 5.0) << "tree where zombies gather";
        }
    }
}

TEST(Map, TreesGrowInClumps)
{
    // Clark-Evans: mean nearest-neighbour distance against what scattering the
    // same number of trees at random over the map would give.
    const MapFile m = Map();
    ASSERT_TRUE(m.wellFormed);
    const size_t n = m.trees.size();
    ASSERT_GT(n, 100u);
    double sum = 0;
    for (size_t i = 0; i < n; ++i)
    {
        double best = 1e9;
        for (size_t j = 0; j < n; ++j)
            if (j != i)
                best = std::min(best, std::hypot(double(m.trees[i].x - m.trees[j].x),
                                                 double(m.trees[i].y - m.trees[j].y)));
        sum += best;
    }
    const double random = 0.5 / std::sqrt(n / (1524.0 * 1524.0));
    EXPECT_LT(sum / n / random, 0.75);
}

TEST(Map, WorldFitsTheVertexBuffer)
{
    const MapFile m = Map();
    ASSERT_TRUE(m.wellFormed);
    const size_t q = Quads();
    const size_t tris = 32258 + 2 * q * m.houses.size() + 2 * m.trees.size() + 160;
    EXPECT_LE(tris, 37058u);
    // Room for a dozen houses and 1200 trees with the same model.
    EXPECT_LE(32258 + 2 * q * 12 + 2 * 1200 + 160, 37058u);
}
