// The house wall model against the house layout that the game's collisions,
// zombies and boards use. Model units are half world units.
#include "world_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace wgtest;

namespace
{

using V = std::array<double, 3>;

V Sub(const int32_t* a, const int32_t* b)
{
    return {double(a[0] - b[0]), double(a[1] - b[1]), double(a[2] - b[2])};
}
V Cross(V u, V v)
{
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}
double Dot(V u, V v)
{
    return u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
}
double Len(V u)
{
    return std::sqrt(Dot(u, u));
}

// The game's lighting normal of triangle (A, B, C): Cross(B - A, C - B).
V NormalABC(const ModelQuad& q)
{
    return Cross(Sub(q.c[1], q.c[0]), Sub(q.c[2], q.c[1]));
}
V NormalBDC(const ModelQuad& q)
{
    return Cross(Sub(q.c[3], q.c[1]), Sub(q.c[2], q.c[3]));
}

struct Box
{
    double lo[3], hi[3];
    bool Contains(V p) const
    {
        for (int a = 0; a < 3; ++a)
            if (p[a] <= lo[a] || p[a] >= hi[a])
                return false;
        return true;
    }
};

const std::vector<ModelQuad>& Model()
{
    static const std::vector<ModelQuad> m = ReadModel(ShippedWorld() + "/Data/HouseWl.mdl");
    return m;
}

bool IsWall(const ModelQuad& q)
{
    const V n = NormalABC(q);
    return n[2] == 0 && (n[0] == 0 || n[1] == 0);
}

double WallTop()
{
    double top = 0;
    for (const ModelQuad& q : Model())
        if (IsWall(q))
            for (auto& c : q.c)
                top = std::max(top, double(c[2]));
    return top;
}

// Wall slabs of the house layout, in half units, full height.
std::vector<Box> Slabs(double top)
{
    return {{{0, 0, 0}, {128, 1, top}},     // front
            {{0, 0, 0}, {1, 224, top}},     // left
            {{127, 0, 0}, {128, 224, top}}, // right
            {{0, 223, 0}, {128, 224, top}}, // back
            {{63, 78, 0}, {65, 146, top}}}; // partition
}

// Window openings: the part that must be open (planks and walking room need
// it) and the most that may be open (the wall must stand round it).
struct Opening
{
    int window;
    Box mustBeOpen;
    Box mayBeOpen;
};

std::vector<Opening> Openings()
{
    // Doorways: open from the ground to at least 15 units. Windows 2 to 4: the
    // planks run from 4 to 13 units; a sill of some height stays below.
    return {
        {0, {{54, -1, 0}, {74, 2, 30}}, {{54, -1, -1}, {74, 2, 32}}},
        {1, {{-1, 190, 0}, {2, 210, 30}}, {{-1, 190, -1}, {2, 210, 32}}},
        {2, {{126, 44, 8}, {129, 62, 26}}, {{126, 44, 4}, {129, 62, 30}}},
        {3, {{126, 172, 8}, {129, 190, 26}}, {{126, 172, 4}, {129, 190, 30}}},
        {4, {{88, 222, 8}, {106, 225, 26}}, {{88, 222, 4}, {106, 225, 30}}},
    };
}

} // namespace

TEST(HouseModel, WholeQuadsThatAreNeitherDegenerateNorTwisted)
{
    const std::vector<uint8_t> bytes = ReadBytes(ShippedWorld() + "/Data/HouseWl.mdl");
    ASSERT_EQ(bytes.size() % 48, 0u);
    ASSERT_GT(Model().size(), 20u);
    for (size_t i = 0; i < Model().size(); ++i)
    {
        SCOPED_TRACE("quad " + std::to_string(i));
        const ModelQuad& q = Model()[i];
        const V n1 = NormalABC(q), n2 = NormalBDC(q);
        // A zero normal would make the game's Normalise throw at load.
        ASSERT_GT(Len(n1), 0.0);
        ASSERT_GT(Len(n2), 0.0);
        // Both triangles face the same way and lie in one plane.
        EXPECT_NEAR(Dot(n1, n2) / (Len(n1) * Len(n2)), 1.0, 1e-9);
        EXPECT_EQ(Dot(n1, Sub(q.c[3], q.c[0])), 0.0);
    }
}

TEST(HouseModel, WallsAreAboutSixteenHighAndTexturesKeepTheirShape)
{
    const double top = WallTop();
    EXPECT_GE(top, 30.0);
    EXPECT_LE(top, 36.0);
    for (const ModelQuad& q : Model())
    {
        const double ab = Len(Sub(q.c[1], q.c[0])), cd = Len(Sub(q.c[3], q.c[2]));
        const double ac = Len(Sub(q.c[2], q.c[0])), bd = Len(Sub(q.c[3], q.c[1]));
        if (std::min({ab, cd, ac, bd}) < 3)
            continue; // edge strips such as the partition's ends
        const double ratio = (ab + cd) / (ac + bd);
        EXPECT_LE(std::max(ratio, 1 / ratio), 2.6) << "texture stretched on a quad";
    }
}

TEST(HouseModel, EveryFaceIsDrawnAndLitFromTheSideItIsSeenFrom)
{
    // A wall quad's normal must leave the wall: the game culls the side its
    // triangles turn counter-clockwise on, which is the side the normal points away from.
    const std::vector<Box> slabs = Slabs(WallTop());
    const auto& m = Model();
    for (size_t i = 0; i < m.size(); ++i)
    {
        SCOPED_TRACE("quad " + std::to_string(i));
        const ModelQuad& q = m[i];
        V centre{0, 0, 0};
        for (auto& c : q.c)
            for (int a = 0; a < 3; ++a)
                centre[a] += c[a] / 4.0;
        V n = NormalABC(q);
        const double l = Len(n);
        for (double& x : n)
            x /= l;
        if (IsWall(q))
        {
            const V in{centre[0] - 0.25 * n[0], centre[1] - 0.25 * n[1], centre[2]};
            const V out{centre[0] + 0.25 * n[0], centre[1] + 0.25 * n[1], centre[2]};
            EXPECT_TRUE(std::any_of(slabs.begin(), slabs.end(),
                                    [&](const Box& b) { return b.Contains(in); }))
                << "nothing solid behind a wall face";
            EXPECT_FALSE(std::any_of(slabs.begin(), slabs.end(),
                                     [&](const Box& b) { return b.Contains(out); }))
                << "a wall face looks into a wall";
            continue;
        }
        // Roof panels: a twin with the same corners facing the other way, so the
        // roof shows from the yard and from inside.
        ASSERT_NE(n[2], 0.0) << "a slanted wall that is not part of the roof";
        const bool twin = std::any_of(
            m.begin(), m.end(),
            [&](const ModelQuad& o)
            {
                for (auto& c : q.c)
                    if (std::none_of(std::begin(o.c), std::end(o.c),
                                     [&](const int32_t* d)
                                     { return d[0] == c[0] && d[1] == c[1] && d[2] == c[2]; }))
                        return false;
                return Dot(NormalABC(o), NormalABC(q)) < 0;
            });
        EXPECT_TRUE(twin) << "roof panel drawn from one side only";
        for (auto& c : q.c)
            EXPECT_GE(c[2], WallTop() - 4) << "roof sags into the rooms";
    }
}

TEST(HouseModel, WindowOpeningsAreClearAndWhereTheGameExpectsThem)
{
    for (const Opening& o : Openings())
        for (size_t i = 0; i < Model().size(); ++i)
        {
            const ModelQuad& q = Model()[i];
            double lo[3], hi[3];
            for (int a = 0; a < 3; ++a)
            {
                lo[a] = std::min({q.c[0][a], q.c[1][a], q.c[2][a], q.c[3][a]});
                hi[a] = std::max({q.c[0][a], q.c[1][a], q.c[2][a], q.c[3][a]});
            }
            bool overlaps = true;
            for (int a = 0; a < 3; ++a)
                overlaps = overlaps && lo[a] < o.mustBeOpen.hi[a] && hi[a] > o.mustBeOpen.lo[a];
            EXPECT_FALSE(overlaps) << "quad " << i << " blocks window " << o.window;
        }
}

TEST(HouseModel, WallsCoverEverySolidPartOnBothSides)
{
    const double top = WallTop();
    struct Face
    {
        int axis; // 0: plane x = at, 1: plane y = at
        double at;
        int sign; // the way the face looks
        double s0, s1;
    };
    const Face faces[] = {
        {1, 0, -1, 0, 128},   {1, 1, 1, 1, 127},    // front
        {0, 0, -1, 0, 224},   {0, 1, 1, 1, 223},    // left
        {0, 128, 1, 0, 224},  {0, 127, -1, 1, 223}, // right
        {1, 224, 1, 0, 128},  {1, 223, -1, 1, 127}, // back
        {0, 63, -1, 78, 146}, {0, 65, 1, 78, 146},  // partition sides
        {1, 78, -1, 63, 65},  {1, 146, 1, 63, 65},  // partition ends
    };
    const std::vector<Opening> openings = Openings();
    for (const Face& f : faces)
    {
        int gaps = 0;
        for (double s = f.s0 + 0.5; s < f.s1; s += 1)
            for (double z = 0.5; z < top; z += 1)
            {
                V p{0, 0, z};
                p[f.axis] = f.at;
                p[1 - f.axis] = s;
                const bool open =
                    std::any_of(openings.begin(), openings.end(),
                                [&](const Opening& o) { return o.mayBeOpen.Contains(p); });
                if (open)
                    continue;
                const bool covered = std::any_of(Model().begin(), Model().end(),
                                                 [&](const ModelQuad& q)
                                                 {
                                                     const V n = NormalABC(q);
                                                     if (!IsWall(q) || n[f.axis] * f.sign <= 0)
                                                         return false;
                                                     double lo = 1e9, hi = -1e9, zl = 1e9,
                                                            zh = -1e9;
                                                     for (auto& c : q.c)
                                                     {
                                                         if (c[f.axis] != f.at)
                                                             return false;
                                                         lo = std::min(lo, double(c[1 - f.axis]));
                                                         hi = std::max(hi, double(c[1 - f.axis]));
                                                         zl = std::min(zl, double(c[2]));
                                                         zh = std::max(zh, double(c[2]));
                                                     }
                                                     return s > lo && s < hi && z > zl && z < zh;
                                                 });
                gaps += !covered;
            }
        EXPECT_EQ(gaps, 0) << "holes in the face at " << (f.axis ? "y = " : "x = ") << f.at
                           << " looking " << f.sign;
    }
}

TEST(HouseModel, RoofCoversTheWholeFootprint)
{
    // Point-in-triangle on the ground plane for the roof panels facing up.
    auto inside = [](double px, double py, const int32_t* a, const int32_t* b, const int32_t* c)
    {
        auto side = [&](const int32_t* u, const int32_t* v)
        { return (v[0] - u[0]) * (py - u[1]) - (v[1] - u[1]) * (px - u[0]); };
        const double d1 = side(a, b), d2 = side(b, c), d3 = side(c, a);
        return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
    };
    int open = 0;
    for (double x = 0.5; x < 128; x += 2)
        for (double y = 0.5; y < 224; y += 2)
        {
            bool roofed = false;
            for (const ModelQuad& q : Model())
                if (!IsWall(q) && NormalABC(q)[2] > 0 &&
                    (inside(x, y, q.c[0], q.c[1], q.c[2]) || inside(x, y, q.c[1], q.c[3], q.c[2])))
                    roofed = true;
            open += !roofed;
        }
    EXPECT_EQ(open, 0);
}
