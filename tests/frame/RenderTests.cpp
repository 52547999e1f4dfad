// One frame of play on the recorded device: the exact sequence of states, transforms,
// locks and draws by day and by night, the camera, the billboards and the boards.
#include "frame/FrameSupport.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
class Render : public ::testing::Test
{
  protected:
    HeadlessDevice headless;
    CGame g;

    void SetUp() override
    {
        port::UseTestClock(1000000);
        FillTestGame(g);
        g.posX = 20.0; // in the open, at no window
        g.posY = 30.0;
        // Every vertex of the buffer starts at a height the render must not touch.
        device->Lock(0, 0);
        for (int32_t t = 0; t < g.vbTriangleCount; t++)
            for (int i = 0; i < 3; i++)
                device->GetVBTri(t)[i] = DXVertexTL{-1, -1, 7.5f, 0, 0, 0.25f, 0.5f, 0.75f};
        device->Unlock();
    }
    void TearDown() override { port::UseRealClock(); }

    std::vector<std::string> Frame()
    {
        headless.memory->ClearCalls();
        g.Render();
        std::vector<std::string> trace = FrameTrace(headless.memory->calls);
        device->Render();
        return trace;
    }

    const DXVertexTL* Triangle(int32_t t)
    {
        const std::vector<uint8_t>& bytes = headless.memory->VertexBuffers().front()->bytes;
        return reinterpret_cast<const DXVertexTL*>(bytes.data() + size_t(t) * 96);
    }

    // The frame as it must be: the middle (boards, zombies, display) given by the caller.
    std::vector<std::string> Expected(const char* sky, const std::vector<std::string>& boards,
                                      bool night, const std::vector<std::string>& hud)
    {
        std::string grass = NameOf(g.grassTexture), wall = NameOf(g.wallTexture);
        std::vector<std::string> e = {
            std::string("Clear ") + sky, "BeginScene",        "D3DTS_VIEW",
            "Draw 0 4 " + grass,         "Draw 4 2 " + wall,  "D3DRS_ALPHABLENDENABLE 1",
            "D3DRS_SRCBLEND 5",          "D3DRS_DESTBLEND 6", "D3DRS_ALPHATESTENABLE 1",
            "D3DRS_ALPHAREF 8",          "D3DRS_ALPHAFUNC 7"};
        e.insert(e.end(), boards.begin(), boards.end());
        for (const char* s : {"Lock", "Unlock"})
            e.push_back(s);
        e.push_back("Draw 6 4 " + NameOf(g.treeTexture));
        if (night)
        {
            for (const char* s : {"Lock", "Unlock"})
                e.push_back(s);
            e.push_back("Draw 10 " + std::to_string(2 * g.zombieCount) + " " +
                        NameOf(g.zombieTexture));
        }
        for (const char* s : {"D3DTS_PROJECTION", "D3DTS_VIEW", "D3DRS_ZENABLE 0",
                              "D3DRS_ZWRITEENABLE 0", "D3DRS_LIGHTING 0"})
            e.push_back(s);
        e.insert(e.end(), hud.begin(), hud.end());
        for (const char* s :
             {"D3DRS_LIGHTING 1", "D3DRS_ZENABLE 1", "D3DRS_ZWRITEENABLE 1", "D3DTS_PROJECTION",
              "D3DRS_ALPHABLENDENABLE 0", "D3DRS_ALPHATESTENABLE 0"})
            e.push_back(s);
        return e;
    }
    std::vector<std::string> Overlays(std::initializer_list<DXOverlay*> overlays)
    {
        std::vector<std::string> e;
        for (DXOverlay* o : overlays)
            for (int i = 0; i < 2; i++)
                e.push_back("Overlay " + NameOf(o));
        return e;
    }
    DXOverlay* Glyph(char c) { return g.digitImages[c - '0']; }
    // Axe, clock "6:00" and wood "0", then whatever the phase adds.
    std::vector<std::string> MorningHud(std::initializer_list<DXOverlay*> more = {})
    {
        std::vector<std::string> e =
            Overlays({g.axeIdleImage, g.clockIconImage, Glyph('6'), Glyph(':'), Glyph('0'),
                      Glyph('0'), g.woodIconImage, Glyph('0')});
        std::vector<std::string> tail = Overlays(more);
        e.insert(e.end(), tail.begin(), tail.end());
        return e;
    }
    std::vector<std::string> Planks(int n)
    {
        return std::vector<std::string>(size_t(2 * n), "Tri " + NameOf(g.boardTexture));
    }
    // The plank triangles drawn in the last frame.
    std::vector<std::vector<LitVertex>> PlankTriangles()
    {
        std::vector<std::vector<LitVertex>> tris;
        for (const port::DeviceCall& call : headless.memory->calls)
            if (call.kind == port::CallKind::DrawPrimitiveUP && call.fvf == FVF_VERTEX_TL)
                tris.push_back(LitVertices(call));
        return tris;
    }

    // The transforms of the frame, in order, by type.
    std::vector<D3DMATRIX> Transforms(D3DTRANSFORMSTATETYPE type)
    {
        std::vector<D3DMATRIX> m;
        for (const port::DeviceCall& call : headless.memory->calls)
            if (call.kind == port::CallKind::SetTransform && call.transformType == type)
                m.push_back(call.matrix);
        return m;
    }
};

void ExpectMatrix(const D3DMATRIX& actual, const float expected[16])
{
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(actual.m[i / 4][i % 4], expected[i]) << "element " << i;
}
} // namespace

TEST_F(Render, DayFrameInOrder)
{
    g.boards[0][2] = 1; // window 2: two planks
    g.zombieCount = 3;  // placed, but not drawn by day
    EXPECT_EQ(Frame(), Expected("76D3E4", Planks(2), false, MorningHud()));
    // The trace ends on the restored states; the projection must be the world's again.
    ExpectMatrix(headless.memory->Transform(D3DTS_PROJECTION), g.projection);
}

TEST_F(Render, NightFrameDrawsTheZombieBlockAndHealth)
{
    g.phase = 2;
    g.zombieCount = 3;
    g.health = 8;
    g.nightfallTime = timeGetTime() - 10; // banner still up
    EXPECT_EQ(Frame(), Expected("192F2C", {}, true, MorningHud({Glyph('8'), g.nightfallImage})));
}

TEST_F(Render, SkyAndZombiesFollowThePhase)
{
    g.zombieCount = 2;
    g.zombies[0].pos = M3DVector(50.0, 60.0, 0.0);
    // Nightfall's phase already has the night sky and the zombies; daybreak's has neither.
    const struct
    {
        int32_t phase;
        const char* sky;
        bool zombies;
    } cases[] = {{0, "Clear 76D3E4", false},
                 {1, "Clear 192F2C", true},
                 {2, "Clear 192F2C", true},
                 {3, "Clear 76D3E4", false}};
    for (const auto& c : cases)
    {
        g.phase = c.phase;
        std::vector<std::string> trace = Frame();
        EXPECT_EQ(trace.front(), c.sky) << "phase " << c.phase;
        size_t locks = size_t(std::count(trace.begin(), trace.end(), "Lock"));
        EXPECT_EQ(locks, c.zombies ? 2u : 1u) << "phase " << c.phase;
        bool zombieDraw = std::find(trace.begin(), trace.end(),
                                    "Draw 10 4 " + NameOf(g.zombieTexture)) != trace.end();
        EXPECT_EQ(zombieDraw, c.zombies) << "phase " << c.phase;
        if (c.phase == 0) // by day their billboards are not even written
        {
            EXPECT_EQ(Triangle(10)[0].x, -1.0f) << "phase " << c.phase;
        }
    }
}

TEST_F(Render, EmptyTreeAndZombieBlocksAreStillLockedAndDrawn)
{
    g.treeCount = 0;
    g.treeTriangles = 0;
    g.phase = 1;
    g.zombieCount = 0;
    std::vector<std::string> trace = Frame();
    for (DXTexture* t : {g.treeTexture, g.zombieTexture})
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "Draw 6 0 " + NameOf(t)), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Lock"), 2);
}

TEST_F(Render, ViewLooksFromTheEyeAlongTheHeading)
{
    g.posX = 110.0;
    g.posY = 220.0;
    g.eyeZ = 35.5;
    g.yaw = 0.7;
    Frame();
    std::vector<D3DMATRIX> views = Transforms(D3DTS_VIEW);
    ASSERT_EQ(views.size(), 2u);
    double p[3];
    // The eye is the origin; ahead is depth (view x), left is view y, up is view z.
    Transform(views[0], 110.0, 220.0, 35.5, p);
    EXPECT_NEAR(p[0], 0, 1e-3);
    EXPECT_NEAR(p[1], 0, 1e-3);
    EXPECT_NEAR(p[2], 0, 1e-3);
    Transform(views[0], 110.0 + 10 * std::cos(0.7), 220.0 + 10 * std::sin(0.7), 35.5, p);
    EXPECT_NEAR(p[0], 10, 1e-3);
    EXPECT_NEAR(p[1], 0, 1e-3);
    Transform(views[0], 110.0, 220.0, 40.5, p);
    EXPECT_NEAR(p[0], 0, 1e-3);
    EXPECT_NEAR(p[2], 5, 1e-3);

    // With roll and pitch too it is exactly Translation(-eye) x Rotation(-roll, -pitch, -yaw).
    g.roll = 0.05;
    g.pitch = -0.3;
    Frame();
    const float* expected =
        ToD3DMatrix(Translation(M3DVector(-110.0, -220.0, -35.5)) * Rotation(-0.05, 0.3, -0.7));
    ExpectMatrix(Transforms(D3DTS_VIEW)[0], expected);
    // The screen-space pass: identity projection, y mirrored.
    float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ExpectMatrix(Transforms(D3DTS_PROJECTION)[0], identity);
    identity[5] = -1;
    ExpectMatrix(Transforms(D3DTS_VIEW)[1], identity);
}

TEST_F(Render, BillboardsFaceBackAlongTheHeading)
{
    g.yaw = 0.0;
    g.phase = 1;
    g.zombieCount = 1;
    g.zombies[0].pos = M3DVector(50.0, 60.0, 0.0);
    Frame();

    // Yaw 0: the quads lie along y, normals to -x. Tree 0 at (300, 400), half-width 5.
    struct Corner
    {
        float x, y;
    };
    auto check = [&](int32_t t, Corner a, Corner b)
    {
        const Corner expected[2][3] = {{a, b, a}, {b, b, a}}; // (A, B, C), (B, D, C)
        for (int k = 0; k < 2; k++)
            for (int i = 0; i < 3; i++)
            {
                const DXVertexTL& v = Triangle(t + k)[i];
                EXPECT_FLOAT_EQ(v.x, expected[k][i].x) << "triangle " << t + k << " vertex " << i;
                EXPECT_FLOAT_EQ(v.y, expected[k][i].y) << "triangle " << t + k << " vertex " << i;
                EXPECT_FLOAT_EQ(v.nx, -1.0f);
                EXPECT_NEAR(v.ny, 0.0f, 1e-7);
                // Heights, normal z and texture coordinates stay as loaded.
                EXPECT_EQ(v.z, 7.5f);
                EXPECT_EQ(v.nz, 0.25f);
                EXPECT_EQ(v.u, 0.5f);
                EXPECT_EQ(v.v, 0.75f);
            }
    };
    check(6, {300, 395}, {300, 405});
    check(8, {5000, 15}, {5000, 25}); // a felled tree is written all the same
    check(10, {50, 58.5f}, {50, 61.5f});
    EXPECT_EQ(Triangle(12)[0].x, -1.0f); // no record beyond zombieCount

    // A quarter turn: across the line of sight is now -x, normals to -y.
    g.yaw = M_PI / 2;
    Frame();
    EXPECT_NEAR(Triangle(6)[0].x, 305.0f, 1e-4);
    EXPECT_NEAR(Triangle(6)[0].y, 400.0f, 1e-4);
    EXPECT_NEAR(Triangle(6)[1].x, 295.0f, 1e-4);
    EXPECT_NEAR(Triangle(6)[0].nx, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(Triangle(6)[0].ny, -1.0f);
}

TEST_F(Render, OneBoardShowsEveryPlankOfItsWindow)
{
    // Boarded windows, in order: 0 (three planks) and 3 (two planks).
    g.boards[0][0] = 1;
    g.boards[0][3] = 10;
    EXPECT_EQ(Frame(), Expected("76D3E4", Planks(5), false, MorningHud()));
    std::vector<std::vector<LitVertex>> tris = PlankTriangles();
    ASSERT_EQ(tris.size(), 10u);

    // Window 0, plank 1: A (23, 11), B (39, 14), C (24, 9), D (40, 12) in the plane
    // y = 200.6, from the corner (100, 200) on ground 30; triangles (A, B, C), (B, D, C).
    const float y0 = float(200.0 + 0.6);
    const LitVertex a{123, y0, 41, 0, 1, 0, 0, 0}, b{139, y0, 44, 0, 1, 0, 1, 0},
        c{124, y0, 39, 0, 1, 0, 0, 1}, d{140, y0, 42, 0, 1, 0, 1, 1};
    const LitVertex expected[2][3] = {{a, b, c}, {b, d, c}};
    for (int k = 0; k < 2; k++)
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(std::memcmp(&tris[k][i], &expected[k][i], sizeof(LitVertex)), 0)
                << "triangle " << k << " vertex " << i << ": (" << tris[k][i].x << ", "
                << tris[k][i].y << ", " << tris[k][i].z << ")";

    // Window 3, plank 2: A (82, 6) in the plane x = 100 + 64 - 0.6, normal (-1, 0, 0).
    const LitVertex& w3 = tris[8][0];
    EXPECT_FLOAT_EQ(w3.x, float(164.0 - 0.6));
    EXPECT_FLOAT_EQ(w3.y, 282.0f);
    EXPECT_FLOAT_EQ(w3.z, 36.0f);
    EXPECT_EQ(w3.nx, -1.0f);
    EXPECT_EQ(w3.ny, 0.0f);
}

TEST_F(Render, EveryWindowsPlanksLieInItsPlaneWithItsNormal)
{
    for (int32_t j = 0; j < 5; j++)
        g.boards[0][j] = 1 + j;
    Frame();
    std::vector<std::vector<LitVertex>> tris = PlankTriangles();
    // 3 + 3 + 2 + 2 + 2 planks, two triangles each.
    ASSERT_EQ(tris.size(), 24u);
    const int planks[5] = {3, 3, 2, 2, 2};
    const struct
    {
        bool alongX; // the plane is y = const
        float plane, nx, ny;
    } windows[5] = {{true, float(200.6), 0, 1},
                    {false, float(100.6), 1, 0},
                    {false, float(163.4), -1, 0},
                    {false, float(163.4), -1, 0},
                    {true, float(311.4), 0, -1}};
    size_t t = 0;
    for (int j = 0; j < 5; j++)
        for (int p = 0; p < 2 * planks[j]; p++, t++)
            for (const LitVertex& v : tris[t])
            {
                EXPECT_NEAR(windows[j].alongX ? v.y : v.x, windows[j].plane, 1e-4)
                    << "window " << j;
                EXPECT_EQ(v.nx, windows[j].nx) << "window " << j;
                EXPECT_EQ(v.ny, windows[j].ny) << "window " << j;
                EXPECT_EQ(v.nz, 0.0f);
                // Every plank stays inside the footprint and under 15 units.
                EXPECT_GE(v.z, 30.0f);
                EXPECT_LE(v.z, 44.0f);
            }
}
