#include "house_model.h"

#include <cmath>
#include <stdexcept>

namespace worldgen
{

namespace
{

using V3 = std::array<int32_t, 3>;

// Normal of triangle (A, B, C) the way the game lights it: Cross(B - A, C - B).
std::array<double, 3> FaceNormal(const Quad& q)
{
    const double u[3] = {double(q.c[1][0] - q.c[0][0]), double(q.c[1][1] - q.c[0][1]),
                         double(q.c[1][2] - q.c[0][2])};
    const double v[3] = {double(q.c[2][0] - q.c[1][0]), double(q.c[2][1] - q.c[1][1]),
                         double(q.c[2][2] - q.c[1][2])};
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

// Swapping left and right turns a quad to face the other way.
Quad Mirrored(const Quad& q)
{
    return Quad{{q.c[1], q.c[0], q.c[3], q.c[2]}};
}

// Orders a quad given as (top-left, top-right, bottom-left, bottom-right) of
// either side so that its lit, drawn side faces along `facing`. The game culls
// triangles that turn counter-clockwise on screen, and its normal comes out of
// the side where they turn clockwise, so one test settles both.
Quad Facing(V3 a, V3 b, V3 c, V3 d, std::array<double, 3> facing)
{
    Quad q{{a, b, c, d}};
    const auto n = FaceNormal(q);
    const double dot = n[0] * facing[0] + n[1] * facing[1] + n[2] * facing[2];
    if (dot == 0.0)
        throw std::logic_error("wall quad lies edge-on to its facing");
    return dot > 0 ? q : Mirrored(q);
}

class Builder
{
  public:
    std::vector<Quad> quads;

    // A wall face in the plane x = at (alongX false) or y = at (alongX true),
    // spanning s0..s1 along the wall and z0..z1, seen from the side `sign`.
    void Face(bool alongX, int at, int sign, int s0, int s1, int z0, int z1)
    {
        const int w = s1 - s0, h = z1 - z0;
        // Near-square tiles so the texture, shown once per quad, keeps its shape.
        int ny = std::max(1, int(std::lround(h / 34.0)));
        double rowH = double(h) / ny;
        // Slightly wide tiles are fine and keep the quad count (and the vertex budget) down.
        int nx = std::max(1, int(std::lround(w / std::max(rowH * 1.2, 9.0))));
        if (double(w) / nx < rowH / 1.8 && w >= 8)
            ny = std::max(1, int(std::lround(h / (double(w) / nx))));
        const std::array<double, 3> facing = alongX ? std::array<double, 3>{0, double(sign), 0}
                                                    : std::array<double, 3>{double(sign), 0, 0};
        for (int iy = 0; iy < ny; ++iy)
        {
            const int za = z0 + int(std::lround(double(iy) * h / ny));
            const int zb = z0 + int(std::lround(double(iy + 1) * h / ny));
            for (int ix = 0; ix < nx; ++ix)
            {
                const int sa = s0 + int(std::lround(double(ix) * w / nx));
                const int sb = s0 + int(std::lround(double(ix + 1) * w / nx));
                auto pt = [&](int s, int z) { return alongX ? V3{s, at, z} : V3{at, s, z}; };
                quads.push_back(Facing(pt(sa, zb), pt(sb, zb), pt(sa, za), pt(sb, za), facing));
            }
        }
    }

    // Both sides of a wall slab, inner and outer planes given.
    void Slab(bool alongX, int outer, int outerSign, int inner, int s0, int s1, int z0, int z1)
    {
        Face(alongX, outer, outerSign, s0, s1, z0, z1);
        Face(alongX, inner, -outerSign, s0, s1, z0, z1);
    }

    // A roof panel, drawn from above and from below.
    void Panel(V3 a, V3 b, V3 c, V3 d, std::array<double, 3> up)
    {
        const Quad outer = Facing(a, b, c, d, up);
        quads.push_back(outer);
        quads.push_back(Mirrored(outer));
    }
};

struct Opening
{
    int s0, s1; // along the wall
    int z0, z1;
};

// A wall with openings: full-height piers between them, a sill under and a
// lintel over each.
void WallWithOpenings(Builder& b, bool alongX, int outer, int sign, int inner, int s0, int s1,
                      const std::vector<Opening>& openings)
{
    int s = s0;
    for (const Opening& o : openings)
    {
        b.Slab(alongX, outer, sign, inner, s, o.s0, 0, WALL_TOP);
        if (o.z0 > 0)
            b.Slab(alongX, outer, sign, inner, o.s0, o.s1, 0, o.z0);
        b.Slab(alongX, outer, sign, inner, o.s0, o.s1, o.z1, WALL_TOP);
        s = o.s1;
    }
    b.Slab(alongX, outer, sign, inner, s, s1, 0, WALL_TOP);
}

} // namespace

std::vector<Quad> BuildHouseModel()
{
    Builder b;
    // The house plan in half units: the footprint is 128 x 224, walls one half unit thick.
    auto half = [](double units) { return int(std::lround(2.0 * units)); };
    const int width = half(house::WIDTH), depth = half(house::DEPTH);
    auto along = [&](int window, bool alongX, int z0, int z1)
    {
        const house::Rect& o = house::WINDOW[window].opening;
        return alongX ? Opening{half(o.x0), half(o.x1), z0, z1}
                      : Opening{half(o.y0), half(o.y1), z0, z1};
    };
    // Windows 0 and 1 are doorways from the ground; 2 to 4 have sills.
    WallWithOpenings(b, true, half(house::FRONT_WALL.y0), -1, half(house::FRONT_WALL.y1), 0, width,
                     {along(0, true, 0, DOOR_TOP)});
    WallWithOpenings(b, false, half(house::LEFT_WALL.x0), -1, half(house::LEFT_WALL.x1), 0, depth,
                     {along(1, false, 0, DOOR_TOP)});
    WallWithOpenings(
        b, false, half(house::RIGHT_WALL.x1), 1, half(house::RIGHT_WALL.x0), 0, depth,
        {along(2, false, SILL_TOP, WINDOW_TOP), along(3, false, SILL_TOP, WINDOW_TOP)});
    WallWithOpenings(b, true, half(house::BACK_WALL.y1), 1, half(house::BACK_WALL.y0), 0, width,
                     {along(4, true, SILL_TOP, WINDOW_TOP)});
    // The partition, with its two narrow ends.
    const house::Rect& p = house::PARTITION;
    b.Slab(false, half(p.x0), -1, half(p.x1), half(p.y0), half(p.y1), 0, WALL_TOP);
    b.Face(true, half(p.y0), -1, half(p.x0), half(p.x1), 0, WALL_TOP);
    b.Face(true, half(p.y1), 1, half(p.x0), half(p.x1), 0, WALL_TOP);

    // Hipped roof with a flat top, sloping 1 in 2. Each slope passes through the
    // inner top edge of its wall, so no gap shows from inside, and overhangs by 1.5.
    const int eave = 32, top = 59;
    const int ex0 = -3, ex1 = 131, ey0 = -3, ey1 = 227; // eave outline
    const int tx0 = 51, tx1 = 77, ty0 = 51, ty1 = 173;  // flat top outline
    const int mid = 112; // the slopes and the flat top are split across the middle
    const int eyCut[3] = {ey0, mid, ey1};
    const int tyCut[3] = {ty0, mid, ty1};
    for (int i = 0; i < 2; ++i)
    {
        b.Panel({tx0, tyCut[i], top}, {tx0, tyCut[i + 1], top}, {ex0, eyCut[i], eave},
                {ex0, eyCut[i + 1], eave}, {-1, 0, 2});
        b.Panel({tx1, tyCut[i], top}, {tx1, tyCut[i + 1], top}, {ex1, eyCut[i], eave},
                {ex1, eyCut[i + 1], eave}, {1, 0, 2});
        b.Panel({tx0, tyCut[i], top}, {tx1, tyCut[i], top}, {tx0, tyCut[i + 1], top},
                {tx1, tyCut[i + 1], top}, {0, 0, 1});
    }
    b.Panel({tx0, ty0, top}, {tx1, ty0, top}, {ex0, ey0, eave}, {ex1, ey0, eave}, {0, -1, 2});
    b.Panel({tx0, ty1, top}, {tx1, ty1, top}, {ex0, ey1, eave}, {ex1, ey1, eave}, {0, 1, 2});
    return b.quads;
}

std::vector<uint8_t> EncodeModel(const std::vector<Quad>& quads)
{
    std::vector<uint8_t> out;
    out.reserve(quads.size() * 48);
    for (const Quad& q : quads)
        for (const auto& corner : q.c)
            for (int32_t v : corner)
                for (int i = 0; i < 4; ++i)
                    out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
    return out;
}

} // namespace worldgen
