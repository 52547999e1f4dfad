// What a frame shows, read back from the in-memory device: the camera, the world and its
// textures, the sky, billboards, boards, the heads-up display and the game-over pictures.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Shell/Main.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

using port::CallKind;
using Pieces = std::vector<std::string>;

namespace
{
// A draw with the transforms and render states in force when it was made.
struct Drawn
{
    port::DeviceCall call;
    D3DMATRIX view, projection;
    std::map<D3DRENDERSTATETYPE, DWORD> states;
};

// Where a point lands through a draw's transforms: x right and y up in -1..1, z the depth
// buffer's value, w the distance along the line of sight.
struct OnScreen
{
    double x, y, z, w;
};

OnScreen Project(const Drawn& d, double x, double y, double z)
{
    double p[4] = {x, y, z, 1}, eye[4] = {}, clip[4] = {};
    for (int j = 0; j < 16; j++)
        eye[j % 4] += p[j / 4] * d.view.m[j / 4][j % 4];
    for (int j = 0; j < 16; j++)
        clip[j % 4] += eye[j / 4] * d.projection.m[j / 4][j % 4];
    return {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3], clip[3]};
}

Pieces operator+(Pieces a, const Pieces& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A screen picture: its texture, the grid pixel of its top left corner and its size.
std::string Piece(const std::string& texture, long x, long y, long width, long height)
{
    return texture + "@" + std::to_string(x) + "," + std::to_string(y) + " " +
           std::to_string(width) + "x" + std::to_string(height);
}

class Render : public ::testing::Test
{
  public:
    // Two houses on ground 30, two trees.
    testgame::HeadlessGame play{testworld::World{
        std::vector<int32_t>(HEIGHTMAP_POINTS, 90),
        {testworld::HouseWithCorner(600, 600), testworld::HouseWithCorner(900, 300)},
        {{300, 400}, {700, 500}}}};
    CGame& g = play.Game();
    port::MemoryDevice* memory = play.Memory();
    const int32_t treeBlock = g.terrainTriangles + g.wallTriangles;
    const int32_t zombieBlock = treeBlock + g.treeTriangles;
    std::vector<Drawn> draws;

    // The loop's render step, read back draw by draw.
    void Frame()
    {
        const port::MemoryDevice& m = *memory;
        Drawn now{{}, m.Transform(D3DTS_VIEW), m.Transform(D3DTS_PROJECTION), m.renderStates};
        memory->ClearCalls();
        RenderFrame();
        draws.clear();
        for (const port::DeviceCall& c : memory->calls)
            if (c.kind == CallKind::SetTransform)
                (c.transformType == D3DTS_VIEW ? now.view : now.projection) = c.matrix;
            else if (c.kind == CallKind::SetRenderState)
                now.states[c.renderState] = c.value;
            else if (c.kind == CallKind::DrawPrimitive || c.kind == CallKind::DrawPrimitiveUP)
                draws.push_back(Drawn{c, now.view, now.projection, now.states});
    }
    std::string Name(DXTexture* t) const { return memory->NameOf(t->texture); }
    std::vector<const Drawn*> DrawsOf(DXTexture* t) const
    {
        std::vector<const Drawn*> found;
        for (const Drawn& d : draws)
            if (d.call.texture == Name(t))
                found.push_back(&d);
        return found;
    }
    static const DXVertexTL* Vertices(const std::vector<uint8_t>& bytes)
    {
        return reinterpret_cast<const DXVertexTL*>(bytes.data());
    }
    void StandAt(int32_t h, int32_t window)
    {
        const house::Rect& zone = house::WINDOW[window].standingZone;
        g.posX = g.houses[h].x + (zone.x0 + zone.x1) / 2;
        g.posY = g.houses[h].y + (zone.y0 + zone.y1) / 2;
    }
    // The frame's screen pictures, placed through the transforms in force; two triangles
    // each, (A, B, C) then (B, D, C), A top left, B top right, C bottom left.
    Pieces Shown() const
    {
        Pieces out;
        std::vector<const Drawn*> flat;
        for (const Drawn& d : draws)
            if (d.call.fvf == FVF_VERTEX_T)
                flat.push_back(&d);
        for (size_t i = 0; i < flat.size(); i += 2)
        {
            const DXVertexT* v = reinterpret_cast<const DXVertexT*>(flat[i]->call.vertices.data());
            OnScreen a = Project(*flat[i], v[0].x, v[0].y, 0),
                     d = Project(*flat[i], v[1].x, v[2].y, 0);
            // Back on the grid it was placed on, and that grid's corner from the screen's.
            const D3DMATRIX& p = flat[i]->projection;
            const double sx = p.m[0][0], sy = p.m[1][1], t = p.m[3][0];
            a.x = (a.x - t) / sx, d.x = (d.x - t) / sx, a.y /= sy, d.y /= sy;
            long left = std::lround((1 - sx + t) * 320 / sx),
                 top = std::lround((1 - sy) * 240 / sy);
            long x = std::lround((a.x + 1) * 320), y = std::lround((1 - a.y) * 240);
            out.push_back(Piece(flat[i]->call.texture, x + left, y + top,
                                std::lround((d.x + 1) * 319.5) - x + 1,
                                std::lround((1 - d.y) * 239.5) - y + 1));
        }
        return out;
    }
    // The pictures as they should be: each at its place, then a text's glyphs from (x, y),
    // each moving the pen on by its own width.
    Pieces At(std::initializer_list<std::pair<DXOverlay*, std::pair<int, int>>> pictures,
              const char* text = "", int x = 0, int y = 0) const
    {
        Pieces out;
        for (auto [o, at] : pictures)
            out.push_back(Piece(Name(o->texture), at.first, at.second, o->width, o->height));
        for (; *text; text++)
        {
            const DXOverlay* o = g.digitImages[*text == ':' ? 10 : *text - '0'];
            out.push_back(Piece(Name(o->texture), x, y, o->width, o->height));
            x += o->width;
        }
        return out;
    }
};
} // namespace

TEST_F(Render, WorldBlocksWithTheirTexturesAndCutOutsBlended)
{
    g.phase = PHASE_NIGHT, g.zombieCount = 1, g.boards[0][0] = 1;
    Frame();
    Frame();
    const std::tuple<DXTexture*, int32_t, int32_t> blocks[] = {
        {g.grassTexture, 0, g.terrainTriangles},
        {g.wallTexture, g.terrainTriangles, g.wallTriangles},
        {g.treeTexture, treeBlock, g.treeTriangles},
        {g.zombieTexture, zombieBlock, 2}};
    for (auto [texture, first, count] : blocks)
    {
        ASSERT_EQ(DrawsOf(texture).size(), 1u) << Name(texture);
        const port::DeviceCall& c = DrawsOf(texture)[0]->call;
        EXPECT_TRUE(c.startVertex == 3u * first && c.primitiveCount == UINT(count) &&
                    c.vertexBuffer == "vb#1" && c.offset == 0 && c.stride == sizeof(DXVertexTL))
            << c.Describe();
    }
    // Lit and depth-tested in the order terrain, walls, boards, trees, zombies; all but terrain
    // and walls blend by alpha and drop texels below 8; the display flat on top, blended.
    Pieces order;
    for (const Drawn& d : draws)
    {
        if (order.empty() || order.back() != d.call.texture)
            order.push_back(d.call.texture);
        const std::map<D3DRENDERSTATETYPE, DWORD>& s = d.states;
        bool flat = d.call.fvf == FVF_VERTEX_T;
        bool cutOut =
            d.call.texture != Name(g.grassTexture) && d.call.texture != Name(g.wallTexture);
        EXPECT_TRUE(s.at(D3DRS_LIGHTING) == !flat && s.at(D3DRS_ZENABLE) == !flat &&
                    s.at(D3DRS_ZWRITEENABLE) == !flat && s.at(D3DRS_ALPHABLENDENABLE) == cutOut &&
                    s.at(D3DRS_ALPHATESTENABLE) == cutOut &&
                    (!cutOut ||
                     (s.at(D3DRS_SRCBLEND) == D3DBLEND_SRCALPHA &&
                      s.at(D3DRS_DESTBLEND) == D3DBLEND_INVSRCALPHA && s.at(D3DRS_ALPHAREF) == 8 &&
                      s.at(D3DRS_ALPHAFUNC) == D3DCMP_GREATEREQUAL)))
            << d.call.Describe();
    }
    order.resize(5);
    EXPECT_EQ(order, Pieces({Name(g.grassTexture), Name(g.wallTexture), Name(g.boardTexture),
                             Name(g.treeTexture), Name(g.zombieTexture)}));
    // Cleared with depth, a white material, the projection as the last frame left it.
    const port::DeviceCall& clear = memory->calls.at(0);
    const D3DCOLORVALUE white[2] = {{1, 1, 1, 1}, {1, 1, 1, 1}};
    EXPECT_TRUE(clear.clearFlags == (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER) && clear.z == 1.0f &&
                !std::memcmp(&memory->material.Diffuse, white, sizeof white));
    EXPECT_EQ(
        std::memcmp(&DrawsOf(g.grassTexture)[0]->projection, g.projection, sizeof g.projection), 0);
}

TEST_F(Render, ViewFromTheEyeAlongTheHeadingBillboardsAcrossItAndTheSkyByPhase)
{
    g.zombieCount = 3;
    for (int32_t k = 0; k < 3; k++)
        g.zombies[k].pos = M3DVector(640 + 7 * k, 590 - 5 * k, 0);
    // Phase, eye, heading and pitch, sky, zombies drawn.
    const struct
    {
        int32_t phase;
        double x, y, z, yaw, pitch;
        D3DCOLOR sky;
        bool zombies;
    } frames[] = {{PHASE_NIGHT, 5, 5, 5.5, 0, 0, 0x192F2C, true},
                  {PHASE_NIGHT, 700, 650, 40, 0.7, 0.2, 0x192F2C, true},
                  {PHASE_NIGHTFALL, 640, 600, 31, 1.57, 0, 0x192F2C, true},
                  {PHASE_NIGHT, 300, 900, 31, 4.0, -0.4, 0x192F2C, true},
                  {PHASE_DAY, 20, 1000, 35, 2.0, 0.1, 0x76D3E4, false},
                  {PHASE_DAYBREAK, 600, 90, 36, -1, 0, 0x76D3E4, false}};
    for (auto [phase, x, y, z, yaw, pitch, sky, zombies] : frames)
    {
        SCOPED_TRACE("phase " + std::to_string(phase) + ", yaw " + std::to_string(yaw));
        g.phase = phase, g.posX = x, g.posY = y, g.eyeZ = z, g.yaw = yaw, g.pitch = pitch;
        const std::vector<uint8_t> before = memory->VertexBuffers()[0]->bytes;
        Frame();
        EXPECT_EQ(memory->clearColour, sky);
        // A point `ahead` along the line of sight, then `right` and `up` across it.
        const double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch),
                     sp = std::sin(pitch);
        auto at = [&, d = *DrawsOf(g.grassTexture).at(0)](double ahead, double right, double up)
        {
            return Project(d, g.posX + ahead * cp * cy - right * sy - up * sp * cy,
                           g.posY + ahead * cp * sy + right * cy - up * sp * sy,
                           g.eyeZ + ahead * sp + up * cp);
        };
        for (double ahead : {3.0, 50.0, 900.0}) // nearer in front, within the far plane
            EXPECT_TRUE(std::abs(at(ahead, 0, 0).x) < 1e-4 && std::abs(at(ahead, 0, 0).y) < 1e-4 &&
                        std::abs(at(ahead, 0, 0).w - ahead) < 1e-3 && at(ahead, 0, 0).z < 1 &&
                        at(ahead, 0, 0).z > at(ahead / 2, 0, 0).z)
                << ahead << " ahead";
        EXPECT_TRUE(at(20, 5, 0).x > 0.1 && std::abs(at(20, 5, 0).y) < 1e-4) << "right";
        EXPECT_TRUE(at(20, 0, 5).y > 0.1 && std::abs(at(20, 0, 5).x) < 1e-4) << "up";
        EXPECT_LT(at(-20, 0, 0).w, 0) << "behind";
        ASSERT_EQ(DrawsOf(g.zombieTexture).size(), zombies ? 1u : 0u);
        for (const Drawn* d : DrawsOf(g.zombieTexture))
            EXPECT_TRUE(d->call.startVertex == 3u * zombieBlock && d->call.primitiveCount == 6);
        // Centre, width, first triangle: the trees' and, by night, the zombies'.
        std::vector<std::tuple<M3DVector, double, int32_t>> boards;
        for (int32_t i = 0; i < g.treeCount; i++)
            boards.emplace_back(g.trees[i], 10, treeBlock + 2 * i);
        for (int32_t k = 0; zombies && k < g.zombieCount; k++)
            boards.emplace_back(g.zombies[k].pos, 3, zombieBlock + 2 * k);
        const DXVertexTL *was = Vertices(before), *is = Vertices(memory->VertexBuffers()[0]->bytes);
        std::vector<bool> written(before.size() / sizeof(DXVertexTL));
        for (auto [at, width, first] : boards)
        {
            // (A, B, C), (B, D, C): A, C left, B, D right, all facing back along the heading.
            const DXVertexTL *t = is + 3 * first, &a = t[0], &b = t[1];
            for (int i = 0; i < 6; i++)
            {
                const DXVertexTL& edge = i == 1 || i == 3 || i == 4 ? b : a;
                written[size_t(3 * first + i)] = true;
                EXPECT_TRUE(t[i].x == edge.x && t[i].y == edge.y && std::abs(t[i].nx + cy) < 1e-6 &&
                            std::abs(t[i].ny + sy) < 1e-6)
                    << "vertex " << i;
            }
            // Centred, as wide as it should be, across the line of sight, B to the viewer's right.
            double dx = b.x - a.x, dy = b.y - a.y;
            EXPECT_TRUE(std::abs((a.x + b.x) / 2 - at.x) < 1e-3 &&
                        std::abs((a.y + b.y) / 2 - at.y) < 1e-3 &&
                        std::abs(std::hypot(dx, dy) - width) < 1e-3 &&
                        std::abs(dx * cy + dy * sy) < 1e-3 && dy * cy - dx * sy > 0)
                << "at " << a.x << ", " << a.y << " to " << b.x << ", " << b.y;
        }
        // Nothing else of the buffer changes, nor the billboards' heights, nz, u and v.
        for (size_t v = 0; v < written.size(); v++)
            if (written[v])
                EXPECT_TRUE(was[v].z == is[v].z && was[v].nz == is[v].nz && was[v].u == is[v].u &&
                            was[v].v == is[v].v);
            else
                ASSERT_EQ(std::memcmp(&was[v], &is[v], sizeof was[v]), 0) << "vertex " << v;
    }
}

TEST_F(Render, TheWorldKeepsItsShapeOnEveryScreenWithTheViewOfA43OneAtLeast)
{
    // Wider than 4:3 it sees as far up and further across, narrower as far across and further up.
    const struct Screen
    {
        UINT width, height;
    } screens[] = {{1024, 768}, {800, 600}, {1920, 1080}, {2560, 1080}, {1280, 1024}, {768, 1024}};
    g.yaw = g.pitch = 0;
    for (const Screen& screen : screens)
    {
        SCOPED_TRACE(std::to_string(screen.width) + " x " + std::to_string(screen.height));
        device->presentParams.BackBufferWidth = screen.width;
        device->presentParams.BackBufferHeight = screen.height;
        g.RestoreDeviceState();
        Frame();
        const Drawn& d = *DrawsOf(g.grassTexture).at(0);
        // Five to the right and five up, twenty ahead: as many pixels across as up.
        OnScreen right = Project(d, g.posX + 20, g.posY + 5, g.eyeZ),
                 up = Project(d, g.posX + 20, g.posY, g.eyeZ + 5);
        EXPECT_NEAR(right.x * screen.width, up.y * screen.height, 1e-3 * screen.width);
        const bool wider = 3 * screen.width >= 4 * screen.height;
        EXPECT_NEAR(wider ? up.y : right.x, wider ? 2.0 / 3.0 : 0.5, 1e-6);
    }
}

TEST_F(Render, PlanksLieInTheirWindowsPlaneWhereverABoardIsNailed)
{
    // Boards of the windows of house 0, then of house 1.
    const int32_t setups[][10] = {
        {0}, {1}, {0, 0, 0, 10}, {1, 2, 3, 4, 5}, {0, 0, 0, 0, 0, 7, 0, 1, 0, 10}};
    for (const int32_t* setup : setups)
    {
        std::vector<DXVertexTL> expected, drawn;
        for (int32_t hj = 0; hj < 2 * house::WINDOWS; hj++)
        {
            const int32_t h = hj / house::WINDOWS, j = hj % house::WINDOWS;
            const house::Window& w = house::WINDOW[j];
            auto corner = [&, at = g.houses[h]](const double c[2], float u, float v)
            {
                float x = float(at.x + (w.alongX ? c[0] : w.plane)),
                      y = float(at.y + (w.alongX ? w.plane : c[0])), z = float(at.z + c[1]);
                return DXVertexTL{x, y, z, w.normalX, w.normalY, 0, u, v};
            };
            g.boards[h][j] = setup[hj];
            for (int32_t p = 0; g.boards[h][j] && p < house::PLANKS[j].count; p++)
            {
                const house::Plank& k = house::PLANKS[j].plank[p];
                DXVertexTL a = corner(k.a, 0, 0), b = corner(k.b, 1, 0), c = corner(k.c, 0, 1);
                expected.insert(expected.end(), {a, b, c, b, corner(k.d, 1, 1), c});
            }
        }
        Frame();
        for (const Drawn* d : DrawsOf(g.boardTexture))
            drawn.insert(drawn.end(), Vertices(d->call.vertices), Vertices(d->call.vertices) + 3);
        ASSERT_EQ(drawn.size(), expected.size());
        for (size_t i = 0; i < drawn.size(); i++)
            EXPECT_EQ(std::memcmp(&drawn[i], &expected[i], sizeof drawn[i]), 0) << "vertex " << i;
    }
}

TEST_F(Render, DisplayPiecesAtTheirPlacesOnEveryScreenBannersForThreeAndAHalfSecondsAndGameOver)
{
    // A screen's size; how far the 4:3 grid's middle and right edge move on the grid 480 high
    // it has; where the game-over picture's corner goes, as large as the screen holds it.
    const struct Screen
    {
        UINT width, height;
        int middle, right, pictureX, pictureY;
    } screens[] = {
        {1024, 768, 0, 0, 0, 0}, {1920, 1080, 107, 213, 107, 0}, {1280, 1024, -20, -40, 0, 16}};
    for (const Screen& screen : screens)
    {
        SCOPED_TRACE(std::to_string(screen.width) + " x " + std::to_string(screen.height));
        device->presentParams.BackBufferWidth = screen.width;
        device->presentParams.BackBufferHeight = screen.height;
        auto M = [&](int x) { return x + screen.middle; };
        auto R = [&](int x) { return x + screen.right; };
        auto morning = [&](const char* wood)
        {
            return At({{g.axeIdleImage, {R(430), 0}}, {g.clockIconImage, {15, 9}}}, "6:00", 95,
                      24) +
                   At({{g.woodIconImage, {7, 85}}}, wood, 95, 100);
        };
        const Pieces panel = At({{g.boardPanelImage, {M(150), 127}}}),
                     prompt = At({{g.boardPromptImage, {M(106), 351}}}),
                     nightfall = At({{g.nightfallImage, {M(93), 166}}}),
                     daybreak = At({{g.daybreakImage, {M(113), 183}}});
        auto ago = [](uint32_t ms) { return timeGetTime() - ms; };
        const std::tuple<const char*, std::function<void()>, Pieces> cases[] = {
            {"morning", [] {}, morning("0")},
            {"swinging in the evening",
             [&] { g.axeState = AXE_SWINGING, g.hour = 18, g.minute = 50, g.wood = 107; },
             At({{g.axeSwingImage, {R(262), 196}}, {g.clockIconImage, {15, 9}}}, "18:50", 95, 24) +
                 At({{g.woodIconImage, {7, 85}}}, "107", 95, 100)},
            {"recovering", [&] { g.axeState = AXE_RECOVERING, g.hour = 9, g.minute = 5; },
             At({{g.axeIdleImage, {R(430), 0}}, {g.clockIconImage, {15, 9}}}, "9:05", 95, 24) +
                 At({{g.woodIconImage, {7, 85}}}, "0", 95, 100)},
            {"at a window by day",
             [&] { StandAt(1, 3), g.boards[1][3] = 3, g.boards[0][3] = 2, g.wood = 2; },
             morning("2") + panel + At({}, "3", M(304), 208) + prompt},
            {"at a full window", [&] { StandAt(0, 1), g.boards[0][1] = 10, g.wood = 5; },
             morning("5") + panel + At({}, "10", M(304), 208)},
            {"at a window with no wood", [&] { StandAt(0, 4), g.boards[0][4] = 9; },
             morning("0") + panel + At({}, "9", M(304), 208)},
            {"indoors at no window",
             [&] { g.posX = g.houses[0].x + 20, g.posY = g.houses[0].y + 56; }, morning("0")},
            {"at a window by night",
             [&] { StandAt(0, 0), g.wood = 1, g.phase = PHASE_NIGHT, g.health = 57; },
             morning("1") + At({}, "57", 25, 175)},
            {"at a window at daybreak",
             [&] { StandAt(0, 0), g.wood = 1, g.phase = PHASE_DAYBREAK; }, morning("1")},
            {"nightfall",
             [&] { g.phase = PHASE_NIGHTFALL, g.health = 100, g.nightfallTime = ago(3499); },
             morning("0") + At({}, "100", 25, 175) + nightfall},
            {"nightfall gone",
             [&] { g.phase = PHASE_NIGHT, g.health = 8, g.nightfallTime = ago(3500); },
             morning("0") + At({}, "8", 25, 175)},
            {"daybreak",
             [&]
             { g.phase = PHASE_DAYBREAK, g.daybreakTime = ago(3499), g.nightfallTime = ago(0); },
             morning("0") + daybreak},
            {"daybreak by night",
             [&] { g.phase = PHASE_NIGHT, g.health = 8, g.daybreakTime = ago(0); },
             morning("0") + At({}, "8", 25, 175)},
            {"daybreak across the clock's wrap",
             [&] { port::SetTestClock(200), g.daybreakTime = 0xFFFFFF00u; },
             morning("0") + daybreak},
            {"daybreak long ago across the wrap",
             [&] { port::SetTestClock(200), g.daybreakTime = 0xFFFF0000u; }, morning("0")},
            // Over a black screen, only the picture, opaque.
            {"caught outside", [&] { gameState = GAME_CAUGHT_OUTSIDE; },
             At({{gameOverImage0, {screen.pictureX, screen.pictureY}}})},
            {"killed", [&] { gameState = GAME_KILLED; },
             At({{gameOverImage1, {screen.pictureX, screen.pictureY}}})}};
        g.zombieCount = 0; // none placed: the night rows start the night by hand
        for (const auto& [name, set, expected] : cases)
        {
            g.Reset();
            gameState = GAME_PLAYING;
            set();
            Frame();
            EXPECT_EQ(Shown(), expected) << name;
            EXPECT_TRUE(gameState == GAME_PLAYING ||
                        (memory->clearColour == 0 && draws.size() == 2 &&
                         draws[0].states.at(D3DRS_ALPHABLENDENABLE) == 0));
        }
    }
}
