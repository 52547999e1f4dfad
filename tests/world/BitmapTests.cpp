// The bitmap loaders: row order, colour keys, row padding, the power-of-two texture of a
// screen image, and the headers that are refused.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "port/MemoryDevice.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF,
               magenta = 0xFF00FF, black = 0x000000;

class BitmapTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        headless.reset(new testworld::HeadlessDevice(16));
        memory = headless->memory;
    }
    void TearDown() override { headless.reset(); }

    uint32_t Texel(DXTexture* texture, UINT x, UINT y)
    {
        port::MemoryTexture* t = memory->FindTexture(texture->texture);
        EXPECT_NE(t, nullptr);
        return t ? t->Texel(x, y) : 0;
    }

    void ExpectRefused(const std::function<void()>& load, const std::string& message)
    {
        try
        {
            load();
            ADD_FAILURE() << "loaded; expected \"" << message << "\"";
        }
        catch (const _TFileException& e)
        {
            EXPECT_STREQ(e.message, message.c_str());
        }
        EXPECT_EQ(memory->Textures().size(), 0u) << message;
    }

    TempDir dir;
    CGame game;
    std::unique_ptr<testworld::HeadlessDevice> headless;
    port::MemoryDevice* memory = nullptr;
};

// Three columns: red, green, blue on the top row; white, magenta, black below.
uint32_t Six(int32_t x, int32_t y)
{
    const uint32_t colours[2][3] = {{red, green, blue}, {white, magenta, black}};
    return colours[y][x];
}
} // namespace

TEST_F(BitmapTest, TextureRowsTopFirstWithWhiteKeyedOut)
{
    // A texture's rows are read back to back: a 3-pixel row of 9 bytes has no padding.
    dir.Write("Data/t.bmp", testworld::Bitmap(3, 2, Six, false));
    std::unique_ptr<DXTexture> t(game.LoadTexture("t.bmp", 3, 2));
    // White turns transparent; magenta stays opaque in a texture; black is opaque.
    const uint32_t expected[2][3] = {{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu},
                                     {0x00FFFFFFu, 0xFFFF00FFu, 0xFF000000u}};
    for (UINT y = 0; y < 2; y++)
        for (UINT x = 0; x < 3; x++)
            EXPECT_EQ(Texel(t.get(), x, y), expected[y][x]) << x << "," << y;
}

TEST_F(BitmapTest, OverlayRowsSkipPaddingAndKeyMagentaToHalfGrey)
{
    dir.Write("Data/o.bmp", testworld::Bitmap(3, 2, Six, true));
    std::unique_ptr<DXOverlay> o(game.LoadOverlay("o.bmp", 3, 2));
    EXPECT_EQ(o->width, 3);
    EXPECT_EQ(o->height, 2);
    EXPECT_EQ(o->textureWidth, 4);
    EXPECT_EQ(o->textureHeight, 2);
    DXTexture* t = o->texture;
    EXPECT_EQ(Texel(t, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Texel(t, 2, 0), 0xFF0000FFu);
    EXPECT_EQ(Texel(t, 0, 1), 0x00FFFFFFu);
    EXPECT_EQ(Texel(t, 1, 1), 0x7F7F7F7Fu);
    EXPECT_EQ(Texel(t, 2, 1), 0xFF000000u);
    EXPECT_EQ(Texel(t, 3, 0), 0x00FFFFFFu); // the texture's padding column
    EXPECT_EQ(Texel(t, 3, 1), 0x00FFFFFFu);

    // The free loader of the game-over pictures reads the same.
    std::unique_ptr<DXOverlay> free(LoadOverlay("o.bmp", 3, 2));
    for (UINT y = 0; y < 2; y++)
        for (UINT x = 0; x < 4; x++)
            EXPECT_EQ(Texel(free->texture, x, y), Texel(t, x, y));

    // The same padded file read as a texture does not skip the padding: its second row
    // starts three bytes early, on the first row's zero padding (opaque black).
    std::unique_ptr<DXTexture> shifted(game.LoadTexture("o.bmp", 3, 2));
    EXPECT_EQ(Texel(shifted.get(), 0, 1), 0x00FFFFFFu); // bottom row read correctly
    EXPECT_EQ(Texel(shifted.get(), 0, 0), 0xFF000000u);
    EXPECT_EQ(Texel(shifted.get(), 1, 0), 0xFFFF0000u);
}

TEST_F(BitmapTest, AxeImageSitsInTheCornerOfA256By512Texture)
{
    dir.Write("Data/axe0.bmp", testworld::Bitmap(210, 480,
                                                 [](int32_t x, int32_t y) {
                                                     return x == 0 && y == 0       ? red
                                                            : x == 209 && y == 479 ? blue
                                                                                   : green;
                                                 }));
    std::unique_ptr<DXOverlay> o(game.LoadOverlay("axe0.bmp", 210, 480));
    EXPECT_EQ(o->textureWidth, 256);
    EXPECT_EQ(o->textureHeight, 512);
    port::MemoryTexture* t = memory->FindTexture(o->texture->texture);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 256u);
    EXPECT_EQ(t->height, 512u);
    EXPECT_EQ(t->Texel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(t->Texel(209, 479), 0xFF0000FFu);
    EXPECT_EQ(t->Texel(100, 200), 0xFF00FF00u);
    int opaqueOutside = 0;
    for (UINT y = 0; y < 512; y++)
        for (UINT x = 0; x < 256; x++)
            if ((x >= 210 || y >= 480) && t->Texel(x, y) != 0x00FFFFFFu)
                opaqueOutside++;
    EXPECT_EQ(opaqueOutside, 0);
}

TEST(PowerOfTwo, SmallestPowerAtLeastN)
{
    CGame game;
    const int32_t cases[][2] = {{-4, 1},  {0, 1},   {1, 1},     {2, 2},     {3, 4},    {27, 32},
                                {32, 32}, {33, 64}, {210, 256}, {480, 512}, {453, 512}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(NextPowerOfTwo(c[0]), c[1]) << c[0];
        EXPECT_EQ(game.NextPowerOfTwo(c[0]), c[1]) << c[0];
    }
}

TEST_F(BitmapTest, HeadersThatDisagreeAreRefusedNamingTheFile)
{
    auto grey = [](int32_t, int32_t) { return 0x808080u; };
    std::vector<uint8_t> good = testworld::Bitmap(4, 2, grey);
    dir.Write("Data/good.bmp", good);
    std::unique_ptr<DXTexture> ok(game.LoadTexture("good.bmp", 4, 2));
    ok.reset();

    auto variant = [&](size_t at, std::vector<uint8_t> bytes)
    {
        std::vector<uint8_t> b = good;
        for (size_t i = 0; i < bytes.size(); i++)
            b[at + i] = bytes[i];
        dir.Write("Data/bad.bmp", b);
    };
    auto texture = [&] { delete game.LoadTexture("bad.bmp", 4, 2); };
    auto overlay = [&] { delete game.LoadOverlay("bad.bmp", 4, 2); };

    variant(0, {'P', 'K'});
    ExpectRefused(texture, "Data\\bad.bmp: not a bitmap");
    variant(10, {58, 0, 0, 0});
    ExpectRefused(texture, "Data\\bad.bmp: pixel data at byte 58, not 54");
    variant(28, {32, 0});
    ExpectRefused(overlay,
                  "Data\\bad.bmp: 32 bits a pixel, compression 0; 24-bit uncompressed needed");
    variant(30, {1, 0, 0, 0});
    ExpectRefused(texture,
                  "Data\\bad.bmp: 24 bits a pixel, compression 1; 24-bit uncompressed needed");
    variant(18, {5, 0, 0, 0});
    ExpectRefused(overlay, "Data\\bad.bmp: 5 x 2 pixels, 4 x 2 bottom-up needed");
    // A top-down bitmap has a negative height.
    variant(22, {0xFE, 0xFF, 0xFF, 0xFF});
    ExpectRefused(texture, "Data\\bad.bmp: 4 x -2 pixels, 4 x 2 bottom-up needed");

    // Cut short: the pixel rows are not all there.
    std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    dir.Write("Data/bad.bmp", cut);
    ExpectRefused(texture, "Data\\bad.bmp: 77 bytes, 78 needed");
    dir.Write("Data/bad.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 20));
    ExpectRefused(overlay, "Data\\bad.bmp: 20 bytes, too short for a bitmap");
    // An overlay 3 wide needs its rows padded; the unpadded file is too short for that.
    dir.Write("Data/bad.bmp", testworld::Bitmap(3, 2, grey, false));
    ExpectRefused([&] { delete game.LoadOverlay("bad.bmp", 3, 2); },
                  "Data\\bad.bmp: 72 bytes, 78 needed");

    ExpectRefused([&] { delete game.LoadTexture("none.bmp", 4, 2); },
                  "File not found: 'Data\\none.bmp'");
}
