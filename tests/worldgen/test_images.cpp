// Every picture the game loads: present, the exact size the loader is told,
// a bitmap the loaders can read, and clean colour keys.
#include "world_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace wgtest;

namespace
{

enum Kind
{
    Texture,
    Overlay,
    Picture
};

struct Expected
{
    const char* file;
    int w, h;
    Kind kind;
};

const Expected IMAGES[] = {
    {"axe0.bmp", 210, 480, Overlay},      {"axe1.bmp", 378, 218, Overlay},
    {"Sm0.bmp", 32, 27, Overlay},         {"Sm1.bmp", 21, 26, Overlay},
    {"Sm2.bmp", 28, 26, Overlay},         {"Sm3.bmp", 29, 34, Overlay},
    {"Sm4.bmp", 31, 34, Overlay},         {"Sm5.bmp", 28, 34, Overlay},
    {"Sm6.bmp", 29, 34, Overlay},         {"Sm7.bmp", 27, 33, Overlay},
    {"Sm8.bmp", 30, 34, Overlay},         {"Sm9.bmp", 29, 34, Overlay},
    {"SmC.bmp", 13, 24, Overlay},         {"WoodIcon.bmp", 72, 68, Overlay},
    {"ClockIcon.bmp", 63, 63, Overlay},   {"Nightfall.bmp", 453, 51, Overlay},
    {"Daybreak.bmp", 414, 53, Overlay},   {"bs.bmp", 340, 43, Overlay},
    {"bsinc.bmp", 427, 35, Overlay},      {"Grass.bmp", 128, 128, Texture},
    {"Wall.bmp", 128, 128, Texture},      {"Tree.bmp", 128, 128, Texture},
    {"Board.bmp", 128, 64, Texture},      {"Zombie0.bmp", 64, 256, Texture},
    {"GameOver0.bmp", 640, 480, Picture}, {"GameOver1.bmp", 640, 480, Picture},
};

struct Px
{
    int r, g, b;
    bool White() const { return r == 255 && g == 255 && b == 255; }
    bool Magenta() const { return r == 255 && g == 0 && b == 255; }
    bool NearWhite() const { return !White() && r >= 225 && g >= 225 && b >= 225; }
    bool NearMagenta() const { return !Magenta() && r >= 200 && g <= 60 && b >= 200; }
};

uint32_t U32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

// Pixels as the overlay loader reads them: from byte 54, bottom row first,
// skipping each row's padding. Returned top row first.
struct Pic
{
    int w = 0, h = 0;
    std::vector<Px> px;
    Px At(int x, int y) const { return px[size_t(y) * w + x]; }
};

Pic Load(const std::string& name, int w, int h)
{
    const std::vector<uint8_t> b = ReadBytes(ShippedWorld() + "/Data/" + name);
    Pic p;
    p.w = w;
    p.h = h;
    p.px.resize(size_t(w) * h);
    const size_t row = (size_t(w) * 3 + 3) / 4 * 4;
    for (int r = 0; r < h; ++r)
        for (int x = 0; x < w; ++x)
        {
            const size_t at = 54 + r * row + x * 3;
            p.px[size_t(h - 1 - r) * w + x] = {b[at + 2], b[at + 1], b[at]};
        }
    return p;
}

double Coverage(const Pic& p, int x0, int y0, int x1, int y1)
{
    int solid = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            solid += !p.At(x, y).White() && !p.At(x, y).Magenta();
    return double(solid) / ((x1 - x0) * (y1 - y0));
}

} // namespace

TEST(Images, HeadersMatchTheSizesTheGameAsksFor)
{
    for (const Expected& e : IMAGES)
    {
        SCOPED_TRACE(e.file);
        const std::vector<uint8_t> b = ReadBytes(ShippedWorld() + "/Data/" + e.file);
        ASSERT_GE(b.size(), 54u);
        const uint32_t row = (uint32_t(e.w) * 3 + 3) / 4 * 4;
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(b.size(), 54 + size_t(row) * e.h);
        EXPECT_EQ(U32(b, 10), 54u);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(int32_t(U32(b, 18)), e.w);
        EXPECT_EQ(int32_t(U32(b, 22)), e.h) << "must be positive: bottom-up rows";
        EXPECT_EQ(b[26] | b[27] << 8, 1);
        EXPECT_EQ(b[28] | b[29] << 8, 24);
        EXPECT_EQ(U32(b, 30), 0u) << "uncompressed";
        EXPECT_EQ(U32(b, 34), row * e.h);
        if (e.kind == Texture)
        {
            EXPECT_EQ(e.w * 3 % 4, 0) << "the texture loader reads rows without skipping padding";
        }
    }
}

TEST(Images, KeyedPicturesHaveNoFringeAndTexturesNoMagenta)
{
    for (const Expected& e : IMAGES)
    {
        if (e.kind == Picture)
            continue;
        SCOPED_TRACE(e.file);
        const Pic p = Load(e.file, e.w, e.h);
        int nearWhite = 0, nearMagenta = 0, magenta = 0;
        for (const Px& c : p.px)
        {
            nearWhite += c.NearWhite();
            nearMagenta += c.NearMagenta();
            magenta += c.Magenta();
        }
        EXPECT_EQ(nearWhite, 0);
        EXPECT_EQ(nearMagenta, 0);
        if (e.kind == Texture)
        {
            EXPECT_EQ(magenta, 0) << "magenta is opaque in a texture";
        }
        EXPECT_GT(Coverage(p, 0, 0, e.w, e.h), 0.05) << "picture is (nearly) empty";
    }
}

TEST(Images, OpaqueTexturesHaveNoHoles)
{
    for (const char* f : {"Grass.bmp", "Wall.bmp", "Board.bmp"})
    {
        SCOPED_TRACE(f);
        const Pic p = Load(f, 128, std::string(f) == "Board.bmp" ? 64 : 128);
        EXPECT_EQ(Coverage(p, 0, 0, p.w, p.h), 1.0);
    }
}

TEST(Images, GrassTilesWithoutASeam)
{
    // Neighbouring terrain cells repeat the tile, so the jump across the wrap
    // must look like any other step between neighbouring pixels.
    const Pic p = Load("Grass.bmp", 128, 128);
    auto diff = [&](int x0, int y0, int x1, int y1)
    {
        const Px a = p.At(x0, y0), b = p.At(x1, y1);
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    };
    double inner = 0, seamX = 0, seamY = 0;
    for (int i = 0; i < 128; ++i)
    {
        inner += diff(63, i, 64, i);
        seamX += diff(127, i, 0, i);
        seamY += diff(i, 127, i, 0);
    }
    EXPECT_LT(seamX, inner * 1.6);
    EXPECT_LT(seamY, inner * 1.6);
}

TEST(Images, BillboardsStandOnTheGroundInsideTheirTexels)
{
    const Pic zombie = Load("Zombie0.bmp", 64, 256);
    // The game maps only the top-left 60 x 155 texels onto the zombie quad.
    EXPECT_EQ(Coverage(zombie, 60, 0, 64, 256), 0.0);
    EXPECT_EQ(Coverage(zombie, 0, 155, 64, 256), 0.0);
    EXPECT_GT(Coverage(zombie, 0, 0, 60, 155), 0.2);
    EXPECT_GT(Coverage(zombie, 0, 145, 60, 155), 0.1) << "feet reach the bottom of the quad";
    EXPECT_GT(Coverage(zombie, 0, 0, 60, 12), 0.05) << "head reaches the top of the quad";

    const Pic tree = Load("Tree.bmp", 128, 128);
    EXPECT_GT(Coverage(tree, 54, 124, 74, 128), 0.5) << "trunk meets the ground";
    EXPECT_EQ(Coverage(tree, 0, 0, 16, 16), 0.0);
    EXPECT_EQ(Coverage(tree, 112, 0, 128, 16), 0.0);
}

TEST(Images, HudPicturesFillTheirPlaces)
{
    // Digits are set edge to edge in their boxes: the next glyph starts right after.
    for (const Expected& e : IMAGES)
    {
        if (std::string(e.file).rfind("Sm", 0) != 0)
            continue;
        SCOPED_TRACE(e.file);
        const Pic p = Load(e.file, e.w, e.h);
        EXPECT_GT(Coverage(p, 0, 0, 3, e.h), 0.0);
        EXPECT_GT(Coverage(p, e.w - 3, 0, e.w, e.h), 0.0);
        EXPECT_GT(Coverage(p, 0, 0, e.w, 3), 0.0);
        EXPECT_GT(Coverage(p, 0, e.h - 3, e.w, e.h), 0.0);
    }
    // The axe at rest reaches the bottom of the screen where the hand holds it.
    const Pic axe = Load("axe0.bmp", 210, 480);
    EXPECT_GT(Coverage(axe, 0, 440, 210, 480), 0.1);
    EXPECT_GT(Coverage(axe, 0, 0, 210, 480), 0.1);
    // Banners and panels sit on a half-transparent band.
    for (const Expected& e : IMAGES)
    {
        const std::string f = e.file;
        if (f != "Nightfall.bmp" && f != "Daybreak.bmp" && f != "bs.bmp" && f != "bsinc.bmp")
            continue;
        SCOPED_TRACE(f);
        const Pic p = Load(f, e.w, e.h);
        int magenta = 0;
        for (const Px& c : p.px)
            magenta += c.Magenta();
        EXPECT_GT(magenta, int(p.px.size()) / 5);
        EXPECT_GT(Coverage(p, e.w / 4, 0, 3 * e.w / 4, e.h), 0.1) << "lettering in the middle";
    }
}

TEST(Images, GameOverPicturesAreFullAndDistinct)
{
    const Pic a = Load("GameOver0.bmp", 640, 480);
    const Pic b = Load("GameOver1.bmp", 640, 480);
    // Drawn opaque: white would show white and magenta grey, so neither may dominate.
    EXPECT_GT(Coverage(a, 0, 0, 640, 480), 0.99);
    EXPECT_GT(Coverage(b, 0, 0, 640, 480), 0.99);
    int same = 0;
    for (size_t i = 0; i < a.px.size(); ++i)
        same += a.px[i].r == b.px[i].r && a.px[i].g == b.px[i].g && a.px[i].b == b.px[i].b;
    EXPECT_LT(same, int(a.px.size()) / 4);
}

TEST(Settings, DefaultsWithCrLfLineEnds)
{
    const std::vector<uint8_t> b = ReadBytes(ShippedWorld() + "/GameSettings.ini");
    EXPECT_EQ(std::string(b.begin(), b.end()),
              "MouseSensitivity=100\r\nXResolution=1024\r\nYResolution=768\r\n");
}
