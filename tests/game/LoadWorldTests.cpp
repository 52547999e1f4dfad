// The ground-height lookup, the bitmap loaders, and LoadWorld on small worlds with the game
// started as the program starts it: the levelling under houses, the vertex buffer's blocks,
// the normals, the projection, the daylight, and every world file it refuses with its message.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "port/MemoryDevice.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

using testworld::Quad;
using testworld::World;

namespace
{
const Quad WALL = testworld::UprightQuad(0, 4, 0, 4);

const DXVertexTL* Tri(const testgame::HeadlessGame& headless, int32_t index)
{
    return reinterpret_cast<const DXVertexTL*>(
        headless.Memory()->VertexBuffers().at(0)->bytes.data() + size_t(index) * 96);
}

M3DVector At(const DXVertexTL& v)
{
    return M3DVector(v.x, v.y, v.z);
}

bool Near(const M3DVector& a, float x, float y, float z, double tolerance = 1e-6)
{
    return std::fabs(a.x - x) <= tolerance && std::fabs(a.y - y) <= tolerance &&
           std::fabs(a.z - z) <= tolerance;
}

enum Loader
{
    TEXTURE,
    OVERLAY,      // the game's
    FREE_OVERLAY, // the game-over pictures'
};

// Writes Data/b.bmp, w x h of these colours, loads it and gives its texture's texels.
std::vector<uint32_t> Load(testgame::HeadlessGame& headless, Loader loader, int32_t w, int32_t h,
                           uint32_t (*colour)(int32_t, int32_t))
{
    headless.Directory().Write("Data/b.bmp", testworld::Bitmap(w, h, colour));
    CGame& g = headless.Game();
    std::unique_ptr<DXTexture> texture(loader == TEXTURE ? g.LoadTexture("b.bmp", w, h) : nullptr);
    std::unique_ptr<DXOverlay> overlay(loader == OVERLAY        ? g.LoadOverlay("b.bmp", w, h)
                                       : loader == FREE_OVERLAY ? LoadOverlay("b.bmp", w, h)
                                                                : nullptr);
    const port::MemoryTexture* t =
        headless.Memory()->FindTexture(texture ? texture->texture : overlay->texture->texture);
    return t->texels;
}

// Distinct colours up to 4096 x 4096, none a key: blue stays below 0x80.
uint32_t Pattern(int32_t x, int32_t y)
{
    return uint32_t((x & 0xFF) << 16 | (y & 0xFF) << 8 | (x >> 8) << 4 | y >> 8);
}
} // namespace

TEST(TerrainHeight, GridPointsTruncateInsideAndTheLastRowAndColumnAreExact)
{
    const struct
    {
        std::vector<int32_t> ijValue; // i, j, value of the points not 0
        double x, y, expected;
    } cases[] = {
        {{5, 7, 10}, 60, 84, 3.0},   // trunc(10 / 3) on an interior point
        {{5, 7, -10}, 60, 84, -3.0}, // toward zero, not down
        {{1, 1, 10, 2, 1, 20, 1, 2, 31, 2, 2, 41}, 15, 18, 7.25}, // 3, 6 / 10, 13; u .25, v .5
        {{1, 127, 10, 2, 127, 11, 1, 126, 99}, 18, 1530, 3.5},    // the last row: x fraction only
        {{5, 127, 10}, 60, 1524, 10 / 3.0},                       // exact, not truncated
        {{126, 50, 9, 126, 51, 9, 127, 50, 30, 127, 51, 61}, 1530, 606, 91 / 6.0}, // y only
        {{127, 127, 100, 126, 127, 7, 127, 126, 7}, 1535, 1535, 100 / 3.0},
        {{0, 0, 30}, -50, -1e9, 10.0}, // off the terrain: its edge
        {{127, 127, 60}, 5000, 1e12, 20.0},
        {{127, 0, 90}, 1536, -3, 30.0},
        {{0, 0, 30}, std::nan(""), 0, 10.0},
    };
    for (const auto& c : cases)
    {
        CGame game;
        game.heightMap = new int32_t[128 * 128]();
        for (size_t k = 0; k < c.ijValue.size(); k += 3)
            game.heightMap[c.ijValue[k + 1] * 128 + c.ijValue[k]] = c.ijValue[k + 2];
        EXPECT_DOUBLE_EQ(game.TerrainHeight(c.x, c.y), c.expected) << c.x << ", " << c.y;
    }
}

TEST(LoadWorld, HousesLevelInFileOrderTheLaterWinsThenProjectionDaylightAndOneLock)
{
    World world; // heights 30 i: whole units of 10 a column, so the lookup is exact
    for (int32_t k = 0; k < 128 * 128; k++)
        world.heights[size_t(k)] = 30 * (k % 128);
    // House 0: corner (10, 0), ground 35 between columns 0 and 1, levels i 0..8, j 0..12
    // to 105. House 1: corner (70, 64), its ground read from the levelled terrain between
    // column 8 (35) and 9 (90): 62.5, truncated to 187 over i 5..13, j 5..17.
    world.houses = {{42, 56}, {102, 120}};
    world.trees = {{24, 24}, {1200, 1200}};
    testgame::HeadlessGame headless(world);
    const CGame& g = headless.Game();
    ASSERT_EQ((std::vector<int32_t>{g.houseCount, g.treeCount}), (std::vector<int32_t>{2, 2}));
    // Records: house corners and ground, trees on the levelled ground.
    std::vector<double> records;
    for (const M3DVector& r : {g.houses[0], g.houses[1], g.trees[0], g.trees[1]})
        records.insert(records.end(), {r.x, r.y, r.z});
    EXPECT_EQ(records,
              (std::vector<double>{10, 0, 35, 70, 64, 62.5, 24, 24, 35, 1200, 1200, 1000}));
    int32_t wrong = 0;
    for (int32_t j = 0; j < 128; j++)
        for (int32_t i = 0; i < 128; i++)
        {
            const bool second = i >= 5 && i <= 13 && j >= 5 && j <= 17;
            wrong += g.heightMap[j * 128 + i] != (second ? 187 : i <= 8 && j <= 12 ? 105 : 30 * i);
        }
    EXPECT_EQ(wrong, 0);
    // The game starts at (5, 5), eye 5.5 above the levelled ground.
    EXPECT_EQ((std::vector<double>{g.posX, g.posY, g.eyeZ}), (std::vector<double>{5, 5, 40.5}));

    // Another load on the same device: the buffer locked once, every image of the list but
    // the game-over pictures made and given back with the game.
    port::MemoryDevice* memory = headless.Memory();
    const size_t textures = memory->Textures().size();
    CGame* again = new CGame();
    again->LoadWorld();
    EXPECT_EQ(memory->Count(port::CallKind::Lock) + memory->Count(port::CallKind::Unlock), 2u);
    EXPECT_EQ(memory->Textures().size(), textures + image::COUNT - 2);
    EXPECT_NE(again->zombies, nullptr);
    // Depth along view x from 2 to 1024, view y to screen x, view z to screen y.
    const double q = 1.0 / (1.0 / 2.0 - 1.0 / 1024.0);
    const float projection[16] = {0, 0, float(q / 2.0), 1, 2, 0, 0, 0, 0, float(8.0 / 3.0), 0, 0,
                                  0, 0, float(-q),      0};
    EXPECT_EQ(std::memcmp(again->projection, projection, sizeof projection), 0);
    delete again;
    EXPECT_EQ(memory->Textures().size(), textures);
    EXPECT_EQ(std::memcmp(&memory->Transform(D3DTS_PROJECTION), projection, sizeof projection), 0);
    D3DLIGHT9 daylight{};
    daylight.Type = D3DLIGHT_DIRECTIONAL;
    daylight.Diffuse = D3DCOLORVALUE{0.315f, 0.35f, 0.2625f, 0.0f};
    daylight.Direction = D3DVECTOR{1.0f, 0.8f, -1.0f};
    EXPECT_EQ(std::memcmp(&memory->lights[0], &daylight, sizeof daylight), 0);
    EXPECT_EQ((std::vector<DWORD>{memory->lightEnabled[0], memory->RenderState(D3DRS_LIGHTING),
                                  memory->RenderState(D3DRS_AMBIENT)}),
              (std::vector<DWORD>{TRUE, TRUE, 0x00686E5D}));
}

TEST(LoadWorld, BlocksFollowEachOtherWithTheirCornersTextureCoordinatesAndNormals)
{
    // A wall facing +y, one facing -x and a roof panel facing up and out along +x.
    const struct
    {
        Quad quad;
        M3DVector normal;
    } walls[] = {
        {testworld::UprightQuad(0, 20, 0, 10), M3DVector(0, 1, 0)},
        {{{0, 0, 10, 0, 30, 10, 0, 0, 0, 0, 30, 0}}, M3DVector(-1, 0, 0)},
        {{{0, 20, 10, 0, 0, 10, 10, 20, 0, 10, 0, 0}}, M3DVector(std::sqrt(.5), 0, std::sqrt(.5))},
    };
    World world; // heights 3 (i + 2 j) + i j mod 7: uneven, no two faces alike
    for (int32_t k = 0; k < 128 * 128; k++)
        world.heights[size_t(k)] = 3 * (k % 128 + 2 * (k / 128)) + (k % 128) * (k / 128) % 7;
    world.houses = {{300, 300}, {600, 700}};
    world.trees = {{24, 24}, {1000, 1200}, {5, 1530}};
    world.quads = {walls[0].quad, walls[1].quad, walls[2].quad};
    testgame::HeadlessGame headless(world);
    // Loaded again over stale bytes, so every value checked is one the load wrote.
    DXVertexTL stale;
    std::memset(&stale, 0x7F, sizeof stale);
    std::vector<uint8_t>& bytes = headless.Memory()->VertexBuffers().at(0)->bytes;
    std::fill(bytes.begin(), bytes.end(), 0x7F);
    delete game;
    game = new CGame();
    game->LoadWorld();
    const CGame& g = headless.Game();
    EXPECT_EQ((std::vector<int32_t>{g.terrainTriangles, g.wallTriangles, g.treeTriangles,
                                    g.zombieTriangles, g.vbTriangleCount}),
              (std::vector<int32_t>{32258, 12, 6, 160, 32258 + 12 + 6 + 160}));
    const int32_t wallsAt = 32258, treesAt = wallsAt + 12, zombiesAt = treesAt + 6;
    // Corners of a quad's two triangles (A, B, C), (B, D, C) and their texture coordinates.
    const int QUAD_CORNER[6] = {0, 1, 2, 1, 3, 2};
    const float QUAD_UV[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};
    auto face = [&](int32_t t)
    {
        const DXVertexTL* p = Tri(headless, t);
        return Normalise(Cross(At(p[1]) - At(p[0]), At(p[2]) - At(p[1])));
    };

    int32_t wrong = 0;
    for (int32_t t = 0; t < g.vbTriangleCount + 2; t++)
        for (int k = 0; k < 3; k++)
        {
            const DXVertexTL& v = Tri(headless, t)[k];
            const int corner = k + 3 * (t % 2); // every block starts on an even triangle
            const bool zombie = t >= zombiesAt;
            if (t >= g.vbTriangleCount) // nothing written beyond the blocks
            {
                wrong += std::memcmp(&v, &stale, sizeof v) != 0;
                continue;
            }
            wrong += v.u != QUAD_UV[corner][0] * (zombie ? 0.9375f : 1) ||
                     v.v != QUAD_UV[corner][1] * (zombie ? 0.60546875f : 1);
            if (t < wallsAt) // cell (i, j) at 2 (127 j + i), corners P(i, j) to P(i + 1, j + 1)
            {
                const int32_t i = t / 2 % 127 + QUAD_CORNER[corner] % 2;
                const int32_t j = t / 2 / 127 + QUAD_CORNER[corner] / 2;
                wrong +=
                    !Near(At(v), 12.0f * i, 12.0f * j, float(g.heightMap[j * 128 + i] / 3.0), 0);
                // Smooth: the second face of cell (i - 1, j - 1) and the first of cells
                // (i, j - 1), (i - 1, j) and (i, j), those that exist.
                const int32_t cells[4][3] = {
                    {i - 1, j - 1, 1}, {i, j - 1, 0}, {i - 1, j, 0}, {i, j, 0}};
                M3DVector sum(0, 0, 0);
                for (const auto& c : cells)
                    if (c[0] >= 0 && c[1] >= 0 && c[0] < 127 && c[1] < 127)
                        sum += face(2 * (127 * c[1] + c[0]) + c[2]);
                wrong += !Near(Normalise(sum), v.nx, v.ny, v.nz) || v.nz <= 0;
            }
            else if (t < treesAt) // the model at every house, from its corner, in half units
            {
                const M3DVector& house = g.houses[(t - wallsAt) / 6];
                const int32_t* c = &walls[(t - wallsAt) / 2 % 3].quad.v[3 * QUAD_CORNER[corner]];
                wrong += !Near(At(v), float(house.x + 0.5 * c[0]), float(house.y + 0.5 * c[1]),
                               float(house.z + 0.5 * c[2]), 0);
                // Lit flat, facing the side its corners turn clockwise on.
                wrong += !Near(walls[(t - wallsAt) / 2 % 3].normal, v.nx, v.ny, v.nz);
            }
            else if (t < zombiesAt) // heights only: 11 tall on the tree's ground
                wrong += v.z != float(g.trees[(t - treesAt) / 2].z + (QUAD_UV[corner][1] ? 0 : 11));
            wrong += t >= treesAt && v.nz != 0; // billboards' normals lie flat
        }
    EXPECT_EQ(wrong, 0);
}

TEST(LoadWorld, BadWorldsAreRefusedNamingTheFileAndTheEdgesLoad)
{
    using P = std::vector<testworld::Point>;
    const World good = {std::vector<int32_t>(128 * 128, 0), {{300, 300}}, {{5, 5}}, {WALL}};
    auto world = [&](P houses, P trees = {{5, 5}}, std::vector<Quad> quads = {WALL}) {
        return World{good.heights, houses, trees, quads};
    };
    const Quad repeated{{0, 0, 0, 0, 0, 0, 4, 0, 0, 4, 0, 4}};   // A = B
    const Quad secondFlat{{0, 0, 4, 4, 0, 4, 0, 0, 0, 0, 0, 0}}; // D = C
    // C = A, at the ends of the corners' range: the edges' products overflow 64 bits.
    const int32_t lo = INT32_MIN, hi = INT32_MAX;
    const Quad farFlat{{lo, lo, lo, hi, hi, hi, lo, lo, lo, hi, lo, hi}};
    // 20 houses of 116 quads fill the buffer exactly; of 115, with 20 trees.
    const std::vector<Quad> q115(115, WALL), q116(116, WALL), q117(117, WALL);
    const P twenty(20, {300, 300});
    const std::string map = "Data\\map.dat: ", model = "Data\\HouseWl.mdl: ";
    const std::string bmp = "Data\\Wall.bmp: ", bits = "; 24-bit uncompressed needed";
    const std::string fit = " does not fit on the terrain", outside = " lies outside the terrain";
    const std::string holds = " triangles, the vertex buffer holds 37058";
    const std::string neg = ", a count cannot be negative", up = " bottom-up needed";

    const struct
    {
        std::string message; // empty: the world loads
        World world;
        const char* file = nullptr; // under Data/: these bytes written over it at `at`,
        size_t at = 0;              // then cut to `length` (-1: the file taken away)
        std::vector<uint8_t> bytes = {};
        long length = 0;
    } cases[] = {
        {map + "21 houses, at most 20", world(P(21, {300, 300}))},
        {map + "-1 houses" + neg, good, "map.dat", 0, {0xFF, 0xFF, 0xFF, 0xFF}},
        {map + "-5 trees" + neg, world({}), "map.dat", 4, {0xFB, 0xFF, 0xFF, 0xFF}},
        {map + "2 houses, but the file ends after 1", good, "map.dat", 0, {2}, 12},
        {map + "the file ends before the trees count", good, "map.dat", 0, {}, 12},
        {map + "1 trees, but the file ends after 0", good, "map.dat", 0, {}, 23},
        {map + "the file ends before the houses count", good, "map.dat", 0, {}, 3},
        // The file's size is the one its counts make: a byte more, or a house count one too
        // high that reads the first tree as a house, is refused.
        {map + "25 bytes, but 1 houses and 1 trees make 24", good, "map.dat", 24, {77}},
        {map + "40 bytes, but 2 houses and 1 trees make 32",
         world({{300, 300}}, {{5, 1}, {6, 6}, {7, 7}}),
         "map.dat",
         0,
         {2}},
        // The footprint's corner at (0, 0), the levelled area to column and row 127.
        {"", world({{32, 56}, {1471, 1447}})},
        {map + "house 1 at (31, 300)" + fit, world({{300, 300}, {31, 300}})},
        {map + "house 0 at (300, 55)" + fit, world({{300, 55}})},
        {map + "house 0 at (1472, 300)" + fit, world({{1472, 300}})},
        {map + "house 0 at (300, 1448)" + fit, world({{300, 1448}})},
        {"", world({}, {{0, 0}, {1535, 1535}})},
        {map + "tree 1 at (1536, 5)" + outside, world({}, {{5, 5}, {1536, 5}})},
        {map + "tree 0 at (5, 1536)" + outside, world({}, {{5, 1536}})},
        {map + "tree 0 at (-1, 5)" + outside, world({}, {{-1, 5}})},
        {map + "tree 0 at (5, -1)" + outside, world({}, {{5, -1}})},
        {"Data\\hmap.dat: 65532 bytes, 65536 needed", good, "hmap.dat", 0, {}, 65532},
        {"", good, "hmap.dat", 65536, {1}}, // bytes past the heights are not read
        // Heights the vertices' floats still resolve finely load; beyond, the heightmap is
        // blamed, not the wall model whose corners would meet.
        {"", good, "hmap.dat", 12, {0x00, 0x00, 0x03, 0x00}},
        {"Data\\hmap.dat: height -196609 at (3, 0) is beyond the 196608 the terrain can hold",
         good,
         "hmap.dat",
         12,
         {0xFF, 0xFF, 0xFC, 0xFF}},
        {"Data\\hmap.dat: height 600000000 at (0, 2) is beyond the 196608 the terrain can hold",
         good,
         "hmap.dat",
         1024,
         {0x00, 0x46, 0xC3, 0x23}},
        {model + "quad 2 is degenerate", world(P(2, {300, 300}), {}, {WALL, WALL, repeated})},
        {model + "quad 1 is degenerate", world({{300, 300}}, {}, {WALL, secondFlat})},
        {model + "quad 0 is degenerate", world({{300, 300}}, {}, {farFlat})},
        // Whole quads only, and at least one.
        {model + "0 bytes, not one whole 48-byte quad", world({{300, 300}}, {}, {})},
        {model + "47 bytes, not one whole 48-byte quad", good, "HouseWl.mdl", 0, {}, 47},
        {model + "50 bytes, not a whole number of 48-byte quads", good, "HouseWl.mdl", 48, {1, 2}},
        {"", world(twenty, {}, q116)},
        {model + "the world needs 37098" + holds, world(twenty, {}, q117)},
        {"", world(twenty, P(20, {5, 5}), q115)},
        {map + "the world needs 37060" + holds, world(twenty, P(21, {5, 5}), q115)},
        {bmp + "not a bitmap", good, "Wall.bmp", 1, {'N'}},
        {bmp + "pixel data at byte 58, not 54", good, "Wall.bmp", 10, {58}},
        {bmp + "32 bits a pixel, compression 0" + bits, good, "Wall.bmp", 28, {32}},
        {bmp + "24 bits a pixel, compression 1" + bits, good, "Wall.bmp", 30, {1}},
        {bmp + "65664 x 128 pixels, 128 x 128" + up, good, "Wall.bmp", 20, {1}}, // every byte
        {bmp + "128 x -128 pixels, 128 x 128" + up, good, "Wall.bmp", 22, {0x80, 0xFF, 0xFF, 0xFF}},
        {bmp + "49205 bytes, 49206 needed", good, "Wall.bmp", 0, {}, 49205},
        {"Data\\SmC.bmp: 53 bytes, too short for a bitmap", good, "SmC.bmp", 0, {}, 53},
        // A screen image's rows are padded to whole words: 13 pixels take 40 bytes.
        {"Data\\SmC.bmp: 1013 bytes, 1014 needed", good, "SmC.bmp", 0, {}, 1013},
        {"File not found: 'Data\\hmap.dat'", good, "hmap.dat", 0, {}, -1},
        {"File not found: 'Data\\map.dat'", good, "map.dat", 0, {}, -1},
        {"File not found: 'Data\\HouseWl.mdl'", good, "HouseWl.mdl", 0, {}, -1},
        {"File not found: 'Data\\Zombie0.bmp'", good, "Zombie0.bmp", 0, {}, -1},
    };
    testgame::HeadlessGame headless(good);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.message);
        testworld::WriteWorld(headless.Directory(), c.world);
        const std::string path = std::string("Data/") + (c.file ? c.file : "");
        if (c.file)
        {
            std::ifstream in(path, std::ios::binary);
            std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
            bytes.resize(std::max(bytes.size(), c.at + c.bytes.size()));
            std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + long(c.at));
            bytes.resize(c.length > 0 ? size_t(c.length) : bytes.size());
            headless.Directory().Write(path, bytes);
        }
        if (c.length < 0)
            std::remove(path.c_str());
        try
        {
            CGame().LoadWorld();
            EXPECT_EQ(c.message, "") << "loaded";
        }
        catch (const _TFileException& e)
        {
            EXPECT_EQ(c.message, e.message);
        }
    }
}

TEST(Bitmaps, RowsTopFirstInAPowerOfTwoTextureWhiteSeeThroughMagentaHalfGreyOnScreen)
{
    testgame::HeadlessGame headless;
    const struct
    {
        Loader loader;
        int32_t w, h, textureW, textureH;
    } cases[] = {{TEXTURE, 4, 2, 4, 2},         {TEXTURE, 64, 256, 64, 256},
                 {OVERLAY, 5, 3, 8, 4},         {OVERLAY, 1, 1, 1, 1},
                 {OVERLAY, 210, 480, 256, 512}, {OVERLAY, 13, 24, 16, 32},
                 {FREE_OVERLAY, 5, 3, 8, 4},    {FREE_OVERLAY, 27, 13, 32, 16}};
    for (const auto& c : cases)
    {
        std::vector<uint32_t> texels = Load(headless, c.loader, c.w, c.h, Pattern);
        ASSERT_EQ(texels.size(), size_t(c.textureW * c.textureH)) << c.w << " x " << c.h;
        int32_t wrong = 0;
        for (int32_t i = 0; i < c.textureW * c.textureH; i++)
        {
            const int32_t x = i % c.textureW, y = i / c.textureW;
            wrong += texels[size_t(i)] !=
                     (x < c.w && y < c.h ? 0xFF000000u | Pattern(x, y) : 0x00FFFFFFu);
        }
        EXPECT_EQ(wrong, 0) << "loader " << c.loader << ", " << c.w << " x " << c.h;
    }
    // White is see-through in both loaders, magenta half grey in screen images only.
    static const uint32_t colours[8] = {0xFFFFFF, 0xFF00FF, 0x000000, 0xFEFFFF,
                                        0xFE00FF, 0xFF00FE, 0xFF01FF, 0x123456};
    for (Loader loader : {TEXTURE, OVERLAY, FREE_OVERLAY})
    {
        std::vector<uint32_t> texels =
            Load(headless, loader, 4, 2, [](int32_t x, int32_t y) { return colours[y * 4 + x]; });
        for (int32_t i = 0; i < 8; i++)
            EXPECT_EQ(texels[size_t(i)], i == 0                        ? 0x00FFFFFFu
                                         : i == 1 && loader != TEXTURE ? 0x7F7F7F7Fu
                                                                       : 0xFF000000u | colours[i])
                << "loader " << loader << ", colour " << std::hex << colours[i];
    }
}

TEST(Bitmaps, NextPowerOfTwoIsTheSmallestAtLeastNStoppingShortOfOverflow)
{
    CGame game;
    const int32_t cases[][2] = {
        {INT_MIN, 1},      {0, 1},   {1, 1},   {2, 2},     {3, 4},
        {27, 32},          {32, 32}, {33, 64}, {453, 512}, {1 << 30, 1 << 30},
        {INT_MAX, 1 << 30}};
    for (const auto& c : cases)
        EXPECT_EQ((std::vector<int32_t>{NextPowerOfTwo(c[0]), game.NextPowerOfTwo(c[0])}),
                  (std::vector<int32_t>{c[1], c[1]}))
            << c[0];
}
