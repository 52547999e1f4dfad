#include "heightmap.h"

#include <algorithm>
#include <cmath>

namespace worldgen
{

namespace
{

constexpr int APRON = 5; // grid points over which the flattened ground meets the hills

double Smooth(double t)
{
    return t * t * (3.0 - 2.0 * t);
}

// Value noise on a lattice of the given spacing (in grid points).
struct Lattice
{
    int spacing;
    int n;
    std::vector<double> v;

    Lattice(Rng& rng, int s) : spacing(s), n(HEIGHTMAP_SIZE / s + 2), v(size_t(n) * n)
    {
        for (double& x : v)
            x = rng.Unit();
    }

    double At(int i, int j) const
    {
        const double fx = double(i) / spacing, fy = double(j) / spacing;
        const int x0 = int(fx), y0 = int(fy);
        const double u = Smooth(fx - x0), t = Smooth(fy - y0);
        auto g = [&](int a, int b) { return v[size_t(b) * n + a]; };
        const double top = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * u;
        const double bot = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * u;
        return top + (bot - top) * t;
    }
};

} // namespace

std::vector<int32_t> GenerateHills(Rng& rng)
{
    const Lattice broad(rng, 40), mid(rng, 20), fine(rng, 10), grain(rng, 5);
    std::vector<double> raw(size_t(HEIGHTMAP_SIZE) * HEIGHTMAP_SIZE);
    double lo = 1e9, hi = -1e9;
    for (int j = 0; j < HEIGHTMAP_SIZE; ++j)
        for (int i = 0; i < HEIGHTMAP_SIZE; ++i)
        {
            double v =
                broad.At(i, j) + 0.45 * mid.At(i, j) + 0.16 * fine.At(i, j) + 0.04 * grain.At(i, j);
            raw[size_t(j) * HEIGHTMAP_SIZE + i] = v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    std::vector<int32_t> out(raw.size());
    for (size_t k = 0; k < raw.size(); ++k)
    {
        // A gentle curve keeps the valleys wide and walkable and the tops rounded.
        const double t = (raw[k] - lo) / (hi - lo);
        out[k] = int32_t(std::lround(290.0 * std::pow(t, 1.3)));
    }
    return out;
}

static void AreaBounds(Point site, int& i0, int& j0, int& i1, int& j1)
{
    const LevelledArea a = LevelledAreaOf(site);
    i0 = a.gx;
    j0 = a.gy;
    i1 = a.gx + 8;
    j1 = a.gy + 12;
}

int SiteRoughness(const std::vector<int32_t>& h, Point site)
{
    int i0, j0, i1, j1;
    AreaBounds(site, i0, j0, i1, j1);
    int lo = 1 << 30, hi = -(1 << 30);
    for (int j = std::max(0, j0 - APRON); j <= std::min(HEIGHTMAP_SIZE - 1, j1 + APRON); ++j)
        for (int i = std::max(0, i0 - APRON); i <= std::min(HEIGHTMAP_SIZE - 1, i1 + APRON); ++i)
        {
            lo = std::min(lo, h[j * HEIGHTMAP_SIZE + i]);
            hi = std::max(hi, h[j * HEIGHTMAP_SIZE + i]);
        }
    return hi - lo;
}

void FlattenForHouse(std::vector<int32_t>& h, Point site)
{
    int i0, j0, i1, j1;
    AreaBounds(site, i0, j0, i1, j1);
    double sum = 0;
    int n = 0;
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i, ++n)
            sum += h[j * HEIGHTMAP_SIZE + i];
    // A multiple of three: the game reads the level back in whole units and
    // writes it again as thirds, which must give the same value.
    const int level = 3 * int(std::lround(sum / n / 3.0));
    for (int j = std::max(0, j0 - APRON); j <= std::min(HEIGHTMAP_SIZE - 1, j1 + APRON); ++j)
        for (int i = std::max(0, i0 - APRON); i <= std::min(HEIGHTMAP_SIZE - 1, i1 + APRON); ++i)
        {
            const int dx = std::max({i0 - i, 0, i - i1});
            const int dy = std::max({j0 - j, 0, j - j1});
            const double d = std::sqrt(double(dx * dx + dy * dy)) / (APRON + 1);
            int32_t& v = h[j * HEIGHTMAP_SIZE + i];
            if (d <= 0.0)
                v = level;
            else if (d < 1.0)
                v = int32_t(std::lround(level + (v - level) * Smooth(d)));
        }
}

double TerrainHeight(const std::vector<int32_t>& hm, double x, double y)
{
    const double fx = x / 12.0, fy = y / 12.0;
    const int i = int(std::floor(fx)), j = int(std::floor(fy));
    const double u = fx - i, v = fy - j;
    const int k = j * 128 + i;
    auto h = [&](int p) { return double(hm[p]); };
    if (i == 127 && j == 127)
        return h(16383) / 3.0;
    if (i == 127)
        return (h(k) + (h(k + 128) - h(k)) * v) / 3.0;
    if (j == 127)
        return (h(k) + (h(k + 1) - h(k)) * u) / 3.0;
    const double a = std::trunc(h(k) / 3.0), b = std::trunc(h(k + 1) / 3.0);
    const double c = std::trunc(h(k + 128) / 3.0), d = std::trunc(h(k + 129) / 3.0);
    const double left = a + (c - a) * v, right = b + (d - b) * v;
    return left + (right - left) * u;
}

std::vector<int32_t> LevelLikeTheGame(std::vector<int32_t> h, const std::vector<Point>& houses)
{
    for (const Point& p : houses)
    {
        const double ground = TerrainHeight(h, p.x, p.y);
        const LevelledArea a = LevelledAreaOf(p);
        for (int j = a.gy; j <= a.gy + 12; ++j)
            for (int i = a.gx; i <= a.gx + 8; ++i)
                h[j * 128 + i] = int32_t(std::trunc(ground * 3.0));
    }
    return h;
}

} // namespace worldgen
