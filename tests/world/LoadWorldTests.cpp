// LoadWorld on small synthetic worlds: the vertex-buffer blocks, terrain and wall normals,
// the levelling under houses, the billboards' fixed parts and the device state it leaves.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "port/MemoryDevice.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using testworld::Point;
using testworld::Quad;

namespace
{
// Normals computed with the vector library the game uses (it has its own tests).
using Vec = M3DVector;
Vec Sum(Vec a, Vec b)
{
    return a += b;
}

// The texture corners of a quad's two triangles (A, B, C), (B, D, C).
const float quadUV[6][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}, {0, 1}};

class LoadWorldTest : public ::testing::Test
{
  protected:
    void SetUp() override { game.reset(new CGame()); }
    void TearDown() override { game.reset(); }

    void Load(const std::vector<int32_t>& heights, const std::vector<Point>& houses,
              const std::vector<Point>& trees, const std::vector<Quad>& quads,
              int32_t capacity = 37058)
    {
        testworld::WriteWorld(dir, heights, houses, trees, quads);
        NewDevice(capacity);
        game->LoadWorld();
    }

    void NewDevice(int32_t triangles)
    {
        headless.reset(); // the old one goes first: both use the globals
        headless.reset(new testworld::HeadlessDevice(triangles));
        memory = headless->memory;
    }

    // A triangle of the vertex buffer as the device holds it.
    const DXVertexTL* Tri(int32_t index) const
    {
        return reinterpret_cast<const DXVertexTL*>(memory->VertexBuffers().at(0)->bytes.data() +
                                                   size_t(index) * 96);
    }

    void ExpectNormal(const DXVertexTL& v, Vec n, const std::string& where) const
    {
        EXPECT_NEAR(v.nx, n.x, 1e-6) << where;
        EXPECT_NEAR(v.ny, n.y, 1e-6) << where;
        EXPECT_NEAR(v.nz, n.z, 1e-6) << where;
    }

    // Loading must fail with a file exception whose message is exactly this.
    void ExpectRefused(const std::string& message)
    {
        NewDevice(capacity);
        try
        {
            game->LoadWorld();
            ADD_FAILURE() << "loaded; expected \"" << message << "\"";
        }
        catch (const _TFileException& e)
        {
            EXPECT_STREQ(e.message, message.c_str());
        }
        // The half-loaded game goes without error (the sanitizers check the rest).
        game.reset(new CGame());
    }
    void ExpectLoads()
    {
        NewDevice(capacity);
        EXPECT_NO_THROW(game->LoadWorld());
        game.reset(new CGame());
    }

    TempDir dir;
    std::unique_ptr<CGame> game;
    std::unique_ptr<testworld::HeadlessDevice> headless;
    port::MemoryDevice* memory = nullptr;
    int32_t capacity = 37058;
};

// Height values h(i, j) = 3 (i + 2 j) + i j mod 7: sloped and uneven, whole units apart.
std::vector<int32_t> Bumpy()
{
    std::vector<int32_t> h(128 * 128);
    for (int32_t j = 0; j < 128; j++)
        for (int32_t i = 0; i < 128; i++)
            h[size_t(j * 128 + i)] = 3 * (i + 2 * j) + (i * j) % 7;
    return h;
}
} // namespace

TEST_F(LoadWorldTest, FlatEmptyWorldBlocksAndTerrainLayout)
{
    Load(testworld::FlatHeights(6), {}, {}, {});
    EXPECT_EQ(game->terrainTriangles, 32258);
    EXPECT_EQ(game->wallTriangles, 0);
    EXPECT_EQ(game->treeTriangles, 0);
    EXPECT_EQ(game->zombieTriangles, 160);
    EXPECT_EQ(game->vbTriangleCount, 32258 + 160);
    EXPECT_EQ(game->houseCount, 0);
    EXPECT_EQ(game->treeCount, 0);

    // Cell (i, j) at 2 (127 j + i): (P(i,j), P(i+1,j), P(i,j+1)), (P(i+1,j), P(i+1,j+1), P(i,j+1)).
    const int32_t cells[][2] = {{0, 0}, {3, 5}, {126, 0}, {0, 126}, {126, 126}};
    for (const auto& cell : cells)
    {
        int32_t i = cell[0], j = cell[1];
        const DXVertexTL* a = Tri(2 * (127 * j + i));
        const DXVertexTL* b = a + 3;
        const int32_t expected[6][2] = {{i, j},     {i + 1, j},     {i, j + 1},
                                        {i + 1, j}, {i + 1, j + 1}, {i, j + 1}};
        for (int k = 0; k < 6; k++)
        {
            const DXVertexTL& v = k < 3 ? a[k] : b[k - 3];
            EXPECT_EQ(v.x, 12.0f * expected[k][0]) << i << "," << j << " vertex " << k;
            EXPECT_EQ(v.y, 12.0f * expected[k][1]) << i << "," << j << " vertex " << k;
            EXPECT_EQ(v.z, 2.0f);
            EXPECT_EQ(v.u, quadUV[k][0]);
            EXPECT_EQ(v.v, quadUV[k][1]);
        }
    }

    // Every terrain normal points straight up.
    int wrong = 0;
    for (int32_t t = 0; t < 32258; t++)
        for (int k = 0; k < 3; k++)
            if (Tri(t)[k].nx != 0.0f || Tri(t)[k].ny != 0.0f || Tri(t)[k].nz != 1.0f)
                wrong++;
    EXPECT_EQ(wrong, 0);

    // The zombie block follows straight on: the quad's corners scaled to the 60 x 155
    // picture in its 64 x 256 texture.
    for (int32_t z = 0; z < 80; z++)
    {
        const DXVertexTL* a = Tri(32258 + 2 * z);
        for (int k = 0; k < 6; k++)
        {
            EXPECT_EQ(a[k].u, quadUV[k][0] * 0.9375f) << "zombie " << z << " vertex " << k;
            EXPECT_EQ(a[k].v, quadUV[k][1] * 0.60546875f) << "zombie " << z << " vertex " << k;
        }
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(a[k].nz + a[k + 3].nz, 0.0f);
    }
}

TEST_F(LoadWorldTest, SmoothNormalsTakeOnlyTheCellsThatExist)
{
    std::vector<int32_t> h = Bumpy();
    Load(h, {}, {}, {});
    auto P = [&](int32_t i, int32_t j)
    { return Vec(12.0 * i, 12.0 * j, double(float(h[size_t(j * 128 + i)] / 3.0))); };
    auto first = [&](int32_t i, int32_t j)
    { return Normalise(Cross(P(i + 1, j) - P(i, j), P(i, j + 1) - P(i + 1, j))); };
    auto second = [&](int32_t i, int32_t j)
    { return Normalise(Cross(P(i + 1, j + 1) - P(i + 1, j), P(i, j + 1) - P(i + 1, j + 1))); };
    auto tri = [&](int32_t i, int32_t j, int k) { return Tri(2 * (127 * j + i) + k); };

    // Corner (0, 0): the first triangle of cell (0, 0) alone.
    ExpectNormal(tri(0, 0, 0)[0], first(0, 0), "corner 0,0");
    // Corner (127, 127): the second triangle of cell (126, 126) alone.
    ExpectNormal(tri(126, 126, 1)[1], second(126, 126), "corner 127,127");
    // Corner (127, 0): only cell (126, 0) exists, through its first triangle.
    Vec c = first(126, 0);
    ExpectNormal(tri(126, 0, 0)[1], c, "corner 127,0");
    ExpectNormal(tri(126, 0, 1)[0], c, "corner 127,0");
    // Corner (0, 127): only cell (0, 126), through its first triangle.
    c = first(0, 126);
    ExpectNormal(tri(0, 126, 0)[2], c, "corner 0,127");
    ExpectNormal(tri(0, 126, 1)[2], c, "corner 0,127");

    // Edge point (5, 0): first triangles of cells (4, 0) and (5, 0).
    Vec e = Normalise(Sum(first(4, 0), first(5, 0)));
    ExpectNormal(tri(4, 0, 0)[1], e, "edge 5,0");
    ExpectNormal(tri(4, 0, 1)[0], e, "edge 5,0");
    ExpectNormal(tri(5, 0, 0)[0], e, "edge 5,0");

    // Interior point (9, 4): four faces, written to all six vertices there.
    Vec n = Normalise(Sum(Sum(second(8, 3), first(9, 3)), Sum(first(8, 4), first(9, 4))));
    ExpectNormal(tri(8, 3, 1)[1], n, "interior");
    ExpectNormal(tri(9, 3, 0)[2], n, "interior");
    ExpectNormal(tri(9, 3, 1)[2], n, "interior");
    ExpectNormal(tri(8, 4, 0)[1], n, "interior");
    ExpectNormal(tri(8, 4, 1)[0], n, "interior");
    ExpectNormal(tri(9, 4, 0)[0], n, "interior");

    // Heights are exact, not truncated: 3 (1 + 0) + 0 = 3 -> 1.0; h(1, 1) = 10 -> 3.333.
    EXPECT_FLOAT_EQ(tri(1, 1, 0)[0].z, float(10 / 3.0));
}

TEST_F(LoadWorldTest, HousesLevelTheGroundAndTheLaterHouseWins)
{
    // Heights 30 i: whole units of 10 per column, so TerrainHeight is exact.
    std::vector<int32_t> h(128 * 128);
    for (int32_t j = 0; j < 128; j++)
        for (int32_t i = 0; i < 128; i++)
            h[size_t(j * 128 + i)] = 30 * i;
    // House 0 at (42, 56): corner (10, 0), ground 35, levels i 0..8, j 0..12 to 105.
    // House 1 at (102, 120): corner (70, 64), read from the levelled ground between column
    // 8 (35) and 9 (90): 62.5; levels i 5..13, j 5..17 to 187.
    Load(h, {{42, 56}, {102, 120}}, {{24, 24}, {1200, 1200}}, {});
    const int32_t* map = game->heightMap;
    EXPECT_EQ(game->houseCount, 2);
    EXPECT_EQ(game->houses[0].x, 10.0);
    EXPECT_EQ(game->houses[0].y, 0.0);
    EXPECT_EQ(game->houses[0].z, 35.0);
    EXPECT_EQ(game->houses[1].x, 70.0);
    EXPECT_EQ(game->houses[1].y, 64.0);
    EXPECT_EQ(game->houses[1].z, 62.5);
    for (int32_t j = 0; j < 128; j++)
        for (int32_t i = 0; i < 128; i++)
        {
            int32_t expected = 30 * i;
            if (i <= 8 && j <= 12)
                expected = 105;
            if (i >= 5 && i <= 13 && j >= 5 && j <= 17)
                expected = 187;
            ASSERT_EQ(map[j * 128 + i], expected) << i << "," << j;
        }
    // The terrain mesh is built from the levelled heights.
    EXPECT_FLOAT_EQ(Tri(2 * (127 * 6 + 6))[0].z, float(187 / 3.0));

    // Trees stand on the levelled ground; their billboards carry heights, texture
    // coordinates and flat normals.
    EXPECT_EQ(game->treeCount, 2);
    EXPECT_EQ(game->trees[0].x, 24.0);
    EXPECT_EQ(game->trees[0].z, 35.0);
    EXPECT_EQ(game->trees[1].z, 1000.0);
    const DXVertexTL* a = Tri(32258);
    for (int k = 0; k < 6; k++) // 11 units tall from the ground up
    {
        EXPECT_EQ(a[k].z, quadUV[k][1] == 0 ? 46.0f : 35.0f) << k;
        EXPECT_EQ(a[k].u, quadUV[k][0]);
        EXPECT_EQ(a[k].v, quadUV[k][1]);
        EXPECT_EQ(a[k].nz, 0.0f);
    }
    EXPECT_EQ(Tri(32260)[0].z, 1011.0f);
    EXPECT_EQ(game->treeTriangles, 4);
    // The zombie block follows the trees.
    EXPECT_EQ(Tri(32262)[1].u, 0.9375f);
    EXPECT_EQ(game->vbTriangleCount, 32258 + 4 + 160);
}

TEST_F(LoadWorldTest, WallsAtEveryHouseInFileOrderWithFlatNormals)
{
    // A wall along x facing +y, then one along y facing -x.
    Quad alongX = testworld::UprightQuad(0, 20, 0, 10);
    Quad alongY{{0, 0, 10, 0, 30, 10, 0, 0, 0, 0, 30, 0}};
    Load(testworld::FlatHeights(30), {{100, 200}, {400, 500}}, {{700, 700}}, {alongX, alongY});
    EXPECT_EQ(game->wallTriangles, 8);
    EXPECT_EQ(game->treeTriangles, 2);
    EXPECT_EQ(game->vbTriangleCount, 32258 + 8 + 2 + 160);

    const Vec corners[2] = {Vec(68, 144, 10), Vec(368, 444, 10)};
    for (int house = 0; house < 2; house++)
    {
        const DXVertexTL* t = Tri(32258 + 4 * house);
        Vec c = corners[house];
        // Quad 0: A (0,0,10) B (20,0,10) C (0,0,0) D (20,0,0) in half units.
        EXPECT_EQ(t[0].x, float(c.x));
        EXPECT_EQ(t[0].z, float(c.z + 5));
        EXPECT_EQ(t[1].x, float(c.x + 10));
        EXPECT_EQ(t[2].z, float(c.z));
        EXPECT_EQ(t[3].x, float(c.x + 10)); // B
        EXPECT_EQ(t[4].x, float(c.x + 10)); // D
        EXPECT_EQ(t[4].z, float(c.z));
        EXPECT_EQ(t[5].x, float(c.x)); // C
        for (int k = 0; k < 6; k++)
        {
            EXPECT_EQ(t[k].u, quadUV[k][0]);
            EXPECT_EQ(t[k].v, quadUV[k][1]);
            ExpectNormal(t[k], Vec(0, 1, 0), "wall along x");
            EXPECT_EQ(t[k].y, float(c.y));
        }
        // Quad 1 comes second at every house.
        const DXVertexTL* s = Tri(32258 + 4 * house + 2);
        EXPECT_EQ(s[1].y, float(c.y + 15));
        for (int k = 0; k < 6; k++)
            ExpectNormal(s[k], Vec(-1, 0, 0), "wall along y");
    }
    // The tree billboard follows the walls.
    EXPECT_EQ(Tri(32266)[0].z, 21.0f);
}

TEST_F(LoadWorldTest, DeviceStateImagesAndASingleLock)
{
    Load(testworld::FlatHeights(0), {{42, 56}}, {{300, 300}}, {testworld::UprightQuad(0, 2, 0, 2)});
    EXPECT_EQ(memory->Count(port::CallKind::Lock), 1u);
    EXPECT_EQ(memory->Count(port::CallKind::Unlock), 1u);

    // Depth along view x from 1 to 1024, view y across, view z up.
    const double q = 1.0 / (1.0 / 2.0 - 1.0 / 1024.0);
    const float projection[16] = {0, 0, float(q / 2.0), 1, 2, 0, 0, 0, 0, float(8.0 / 3.0), 0, 0,
                                  0, 0, float(-q),      0};
    const D3DMATRIX& p = memory->Transform(D3DTS_PROJECTION);
    for (int i = 0; i < 16; i++)
    {
        EXPECT_EQ(p.m[i / 4][i % 4], projection[i]) << i;
        EXPECT_EQ(game->projection[i], projection[i]) << i;
    }
    EXPECT_NEAR(p.m[0][2], 1.0019569, 1e-6);

    ASSERT_EQ(memory->lights.count(0), 1u);
    D3DLIGHT9 daylight{};
    daylight.Type = D3DLIGHT_DIRECTIONAL;
    daylight.Diffuse = D3DCOLORVALUE{0.315f, 0.35f, 0.2625f, 0.0f};
    daylight.Direction = D3DVECTOR{1.0f, 0.8f, -1.0f};
    EXPECT_EQ(std::memcmp(&memory->lights.at(0), &daylight, sizeof daylight), 0);
    EXPECT_TRUE(memory->lightEnabled.at(0));
    EXPECT_EQ(memory->RenderState(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(memory->RenderState(D3DRS_AMBIENT), 0x00686E5Du);

    // Every image, each the size it is drawn at in a power-of-two texture.
    ASSERT_NE(game->digitImages, nullptr);
    EXPECT_EQ(game->digitImages[10]->width, 13);
    EXPECT_EQ(game->digitImages[10]->textureHeight, 32);
    EXPECT_EQ(game->axeIdleImage->textureWidth, 256);
    EXPECT_EQ(game->axeIdleImage->textureHeight, 512);
    EXPECT_EQ(game->boardPromptImage->width, 427);
    EXPECT_NE(game->zombies, nullptr);
    EXPECT_EQ(memory->Textures().size(), 24u);

    // The game gives every texture back.
    game.reset();
    EXPECT_EQ(memory->Textures().size(), 0u);
}

TEST_F(LoadWorldTest, AWorldOfManyTreesLoadsQuickly)
{
    std::vector<Point> houses, trees;
    for (int32_t k = 0; k < 20; k++)
        houses.push_back({60 + 70 * (k % 10), 100 + 700 * (k / 10)});
    for (int32_t n = 0; n < 1200; n++)
        trees.push_back({(n * 37) % 1536, 300 + (n * 53) % 300});
    std::vector<Quad> quads(40, testworld::UprightQuad(0, 20, 0, 10));
    testworld::WriteWorld(dir, Bumpy(), houses, trees, quads);
    NewDevice(37058);
    auto start = std::chrono::steady_clock::now();
    game->LoadWorld();
    double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(game->vbTriangleCount, 32258 + 1600 + 2400 + 160);
    // Generous for the sanitizer build; an optimised build takes a fraction of this.
    EXPECT_LT(ms, 1000.0);
    RecordProperty("LoadWorldMilliseconds", std::to_string(ms));
}

TEST_F(LoadWorldTest, BadWorldsAreRefusedNamingTheFile)
{
    const std::vector<int32_t> flat = testworld::FlatHeights(0);
    const std::vector<Quad> wall = {testworld::UprightQuad(0, 4, 0, 4)};
    auto world = [&](const std::vector<Point>& houses, const std::vector<Point>& trees)
    { testworld::WriteWorld(dir, flat, houses, trees, wall); };

    std::vector<Point> many(21, Point{300, 300});
    world(many, {});
    ExpectRefused("Data\\map.dat: 21 houses, at most 20");
    std::vector<Point> twenty;
    for (int32_t k = 0; k < 20; k++)
        twenty.push_back({100 + 60 * k, 300});
    world(twenty, {});
    ExpectLoads();

    // Counts that are negative or that the file does not hold.
    const struct
    {
        std::vector<int32_t> ints;
        const char* message;
    } maps[] = {{{-1, 0}, "-1 houses, a count cannot be negative"},
                {{0, -5}, "-5 trees, a count cannot be negative"},
                {{3, 100, 100, 300, 300}, "3 houses, but the file ends after 2"},
                {{1, 300, 300}, "the file ends before the trees count"},
                {{0, 2, 5, 5, 6}, "2 trees, but the file ends after 1"}};
    for (const auto& m : maps)
    {
        dir.WriteInts("Data/map.dat", m.ints);
        ExpectRefused(std::string("Data\\map.dat: ") + m.message);
    }
    dir.Write("Data/map.dat", std::string(2, '\0'));
    ExpectRefused("Data\\map.dat: the file ends before the houses count");

    // Footprints and levelled areas off the heightmap.
    const Point outside[] = {{20, 300},   {25, 300}, {300, 50},  {1500, 300},
                             {300, 1448}, {-5, 300}, {1536, 300}};
    for (const Point& p : outside)
    {
        world({{300, 300}, p}, {});
        ExpectRefused("Data\\map.dat: house 1 at (" + std::to_string(p.x) + ", " +
                      std::to_string(p.y) + ") does not fit on the terrain");
    }
    // The edges that still fit: corner (0, 0); gx + 8 = 127 and gy + 12 = 127.
    world({{32, 56}, {119 * 12 + 32, 115 * 12 + 56}}, {{0, 0}, {1535, 1535}});
    ExpectLoads();

    world({}, {{5, 5}, {1536, 5}});
    ExpectRefused("Data\\map.dat: tree 1 at (1536, 5) lies outside the terrain");
    world({}, {{5, -1}});
    ExpectRefused("Data\\map.dat: tree 0 at (5, -1) lies outside the terrain");

    // A heightmap that ends early.
    world({}, {});
    dir.Write("Data/hmap.dat", std::string(65532, '\0'));
    ExpectRefused("Data\\hmap.dat: 65532 bytes, 65536 needed");

    // A wall quad with repeated corners would have no normal.
    world({{300, 300}}, {});
    Quad degenerate{{0, 0, 0, 0, 0, 0, 4, 0, 0, 4, 0, 4}};
    dir.Write("Data/HouseWl.mdl", testworld::ModelBytes({wall[0], degenerate}));
    ExpectRefused("Data\\HouseWl.mdl: quad 1 is degenerate");
    // An empty model is a house without walls.
    dir.Write("Data/HouseWl.mdl", std::string());
    NewDevice(37058);
    game->LoadWorld();
    EXPECT_EQ(game->wallTriangles, 0);
    EXPECT_EQ(game->houseCount, 1);
    game.reset(new CGame());

    // Too many triangles for the buffer, caught before writing.
    world({}, {{5, 5}, {6, 6}, {7, 7}});
    capacity = 32258 + 160 + 5;
    ExpectRefused("Data\\map.dat: the world needs 32424 triangles, the vertex buffer holds 32423");
    world({{300, 300}}, {});
    capacity = 32258 + 160 + 1;
    ExpectRefused(
        "Data\\HouseWl.mdl: the world needs 32420 triangles, the vertex buffer holds 32419");
    capacity = 37058;

    // A missing file keeps the toolkit's message.
    world({}, {});
    std::remove((dir.Path() + "/Data/HouseWl.mdl").c_str());
    ExpectRefused("File not found: 'Data\\HouseWl.mdl'");
}
