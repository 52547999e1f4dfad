// The game on a desktop: away from the foreground it stands still, a lost device comes back
// with everything a frame needs, the world steps at one speed whatever the display's rate,
// and Alt+Enter takes it between a window and the full screen.
#include "Game/Game.h"
#include "Game/GameClock.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Settings/Settings.h"
#include "Tlib/TForm.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <cmath>

using testgame::HeadlessGame;

namespace
{
testworld::World Stepped(int rate)
{
    testworld::World w;
    w.houses = {testworld::HouseWithCorner(100, 100)};
    w.settings += "UpdateRate=" + std::to_string(rate) + "\n";
    return w;
}
} // namespace

TEST(Desktop, TimeAwayMovesNeitherClockNorAxeNorBannerNorBlow)
{
    HeadlessGame game(Stepped(60));
    CGame& g = game.Game();
    // Night in the house, a zombie in reach starting its blow, the banner up, the axe swung.
    g.posX = 132, g.posY = 150, g.yaw = 0;
    game.Frame({}, 16);
    g.gameMinutes = 710;
    g.lastTick = GameTime() - 999;
    game.Frame({}, 17);
    ASSERT_EQ(g.phase, PHASE_NIGHTFALL);
    g.zombieCount = 1;
    g.zombies[0].pos = M3DVector(g.posX, g.posY + 3.0, 0); // beside him: not looked at
    game.Frame({{}, 0, 0, true}, 20);
    ASSERT_TRUE(g.zombies[0].attacking && g.axeState == AXE_SWINGING);
    const std::string before = game.State();
    const int cursor = port::CursorCounter();

    port::SetScriptedForeground(nullptr); // another window takes the focus for 5 s
    const int presents = game.Memory()->presents;
    for (int pass = 0; pass < 50; pass++)
        ASSERT_TRUE(RunFrame());
    EXPECT_EQ(game.State(), before);
    // Nothing drawn but what the window system asks for.
    EXPECT_EQ(game.Memory()->presents, presents);
    port::PostWindowMessage(mainForm->hwnd, WM_PAINT);
    RunFrame();
    EXPECT_EQ(game.Memory()->presents, presents + 1);
    EXPECT_EQ(port::CursorCounter(), cursor + 1) << "the mouse goes back to the desktop";
    port::ClearScriptedForeground();
    port::AdvanceTestClock(20);
    RunFrame();
    EXPECT_EQ(port::CursorCounter(), cursor);
    // On coming back the game goes on from where it stood: 20 ms later, no blow yet, the
    // swing still under way, the banner still up.
    EXPECT_TRUE(g.health == 100 && g.axeState == AXE_SWINGING && g.phase == PHASE_NIGHTFALL);
    port::AdvanceTestClock(300);
    RunFrame();
    EXPECT_TRUE(g.health == 99 && g.axeState == AXE_READY) << game.State();
}

TEST(Desktop, ALostDeviceIsResetAndTheNextFrameDrawsTheSameScene)
{
    HeadlessGame game(Stepped(60));
    CGame& g = game.Game();
    // At night in the house, the zombies' quads written into the buffer past its start.
    g.posX = 130, g.posY = 150;
    g.gameMinutes = 720, g.hour = 18;
    g.StartNight();
    ASSERT_TRUE(gameState == GAME_PLAYING && g.zombieCount > 0);
    RunFrame();
    port::MemoryDevice* memory = game.Memory();
    auto scene = [&]
    {
        std::string s = game.State();
        for (const port::MemoryVertexBuffer* b : memory->VertexBuffers())
            s += std::string(b->bytes.begin(), b->bytes.end());
        for (const port::MemoryTexture* t : memory->Textures())
            s += t->pool == D3DPOOL_DEFAULT
                     ? std::string(reinterpret_cast<const char*>(t->texels.data()),
                                   t->texels.size() * 4)
                     : "";
        const D3DMATRIX& p = memory->Transform(D3DTS_PROJECTION);
        s += std::string(reinterpret_cast<const char*>(&p), sizeof p);
        const D3DLIGHT9& light = memory->lights[0];
        s += std::string(reinterpret_cast<const char*>(&light), sizeof light);
        return s + std::to_string(memory->RenderState(D3DRS_AMBIENT)) +
               std::to_string(memory->RenderState(D3DRS_LIGHTING)) +
               std::to_string(memory->lightEnabled[0]) +
               std::to_string(memory->SamplerState(0, D3DSAMP_MAGFILTER));
    };
    const std::string before = scene();
    const size_t textures = memory->Textures().size();

    memory->cooperativeLevel = D3DERR_DEVICELOST; // full screen taken away
    ASSERT_TRUE(RunFrame());
    ASSERT_TRUE(device->lost) << "a lost device is no error";
    for (int pass = 0; pass < 5; pass++)
        ASSERT_TRUE(RunFrame());
    EXPECT_EQ(memory->Count(port::CallKind::Reset), 0u) << "not while it cannot be reset";
    memory->cooperativeLevel = D3DERR_DEVICENOTRESET;
    RunFrame(); // reset: every resource released first, or the device refuses
    ASSERT_FALSE(device->lost);
    EXPECT_EQ(memory->Textures().size(), textures);
    EXPECT_EQ(scene(), before);
    // A reset that fails for another reason still ends in the error box.
    memory->cooperativeLevel = D3DERR_DEVICENOTRESET;
    device->lost = true;
    memory->FailNext(port::CallKind::Reset, D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_THROW(RunFrame(), DXException);
}

TEST(Desktop, At144HzTheDrawnWorldMovesEvenlyAndTheViewTurnsInEveryFrame)
{
    // One frame, and the eye, heading and pitch it gave the device: its first view is
    // Translation(-eye) x Rotation, whose rows are at right angles.
    auto frame = [](HeadlessGame& game, const testgame::Input& input, uint32_t ms)
    {
        game.Frame(input, ms, false);
        game.Memory()->ClearCalls();
        RenderFrame();
        for (const port::DeviceCall& c : game.Memory()->calls)
            if (c.kind == port::CallKind::SetTransform && c.transformType == D3DTS_VIEW)
            {
                double x = 0, y = 0;
                for (int j = 0; j < 3; j++)
                    x -= c.matrix.m[3][j] * c.matrix.m[0][j],
                        y -= c.matrix.m[3][j] * c.matrix.m[1][j];
                return std::make_pair(
                    M3DVector(x, y, std::atan2(c.matrix.m[1][0], c.matrix.m[0][0])),
                    std::asin(double(c.matrix.m[2][0])));
            }
        return std::make_pair(M3DVector(0, 0, 0), 0.0);
    };
    const double turn = 10 * 100 / 35000.0; // ten mouse counts, by the default sensitivity
    for (int interpolate : {1, 0})
    {
        SCOPED_TRACE("Interpolate=" + std::to_string(interpolate));
        testworld::World w = Stepped(60);
        w.settings += "Interpolate=" + std::to_string(interpolate) + "\n";
        // Two seconds walking along x at 144 frames a second, then turning while standing.
        HeadlessGame game(w);
        CGame& g = game.Game();
        M3DVector last = frame(game, {}, 0).first;
        for (int k = 1; k <= 2 * 144; k++)
        {
            const double stepsBefore = g.posX;
            M3DVector eye = frame(game, {{DIK_W}}, k * 1000 / 144 - (k - 1) * 1000 / 144).first;
            const double moved = eye.x - last.x, stepped = g.posX - stepsBefore;
            // A step is a unit of walking; the picture goes 60/144 of one a frame, once the
            // frames' length is measured; or it shows each step as it is.
            const bool even = std::abs(moved - 60.0 / 144) < 0.02;
            const bool asStepped =
                moved == stepped && eye.x == g.posX && stepped * stepped == stepped;
            EXPECT_TRUE(interpolate ? k <= 3 || even : asStepped) << "frame " << k << ": " << moved;
            last = eye;
        }
        EXPECT_NEAR(g.posX - 5.0, 120.0, 1.0) << "the game walks at its own pace";
        const double yaw = g.yaw;
        double before = last.z, pitchBefore = g.pitch;
        for (int k = 1; k <= 36; k++)
        {
            const double yawBefore = g.yaw;
            const auto [drawn, pitch] = frame(game, {{}, 10, 5}, 7);
            EXPECT_TRUE(std::abs(drawn.z - before - turn) < 1e-6 &&
                        std::abs(pitch - pitchBefore + turn / 2) < 1e-6)
                << "frame " << k << ": " << drawn.z - before << ", " << pitch - pitchBefore;
            // The step after takes the motion of the frames that ran none, summed.
            EXPECT_TRUE(g.yaw == yawBefore ||
                        (std::abs(g.yaw - drawn.z) < 1e-6 && std::abs(g.pitch - pitch) < 1e-6))
                << "frame " << k;
            before = drawn.z, pitchBefore = pitch;
        }
        EXPECT_NEAR(g.yaw - yaw, 36 * turn, 2 * turn);
    }
}

TEST(Desktop, APressInAFrameThatRunsNoStepCountsOnce)
{
    // At 144 frames a second Space goes down in a frame that runs no step: the next step
    // still sees it pressed, once, and nails one board while it stays held.
    HeadlessGame board(Stepped(60));
    CGame& g = board.Game();
    const house::Rect& zone = house::WINDOW[0].standingZone;
    g.posX = g.houses[0].x + (zone.x0 + zone.x1) / 2;
    g.posY = g.houses[0].y + (zone.y0 + zone.y1) / 2;
    g.wood = 2;
    board.Frame({}, 7, false); // one step, and the steps count from here
    for (int frame = 0; frame < 8; frame++)
        board.Frame({{DIK_SPACE}}, 7, false); // the first runs no step
    EXPECT_TRUE(g.boards[0][0] == 1 && g.wood == 1) << g.boards[0][0] << " boards";
}

TEST(Desktop, AltEnterTakesTheGameBetweenAWindowAndTheFullScreen)
{
    testworld::World w = Stepped(60);
    w.settings += "XResolution=640\nYResolution=480\nWindowed=1\n";
    HeadlessGame game(w);
    port::MemoryDevice* memory = game.Memory();
    ASSERT_TRUE(memory->presentParameters.Windowed);
    const std::string before = game.State();
    for (bool windowed : {false, true})
    {
        game.Frame({{DIK_LMENU}}, 0);
        game.Frame({{DIK_LMENU, DIK_RETURN}}, 0);
        EXPECT_EQ(bool(memory->presentParameters.Windowed), windowed);
        EXPECT_EQ(Windowed, windowed ? 1 : 0);
        // A window has its title bar and the picture's size inside it; full screen is bare.
        EXPECT_EQ(mainForm->width, windowed ? 640 + 6 : GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(memory->Transform(D3DTS_PROJECTION).m[1][0], 2.0f) << "states set again";
        game.Frame({}, 0);
    }
    EXPECT_EQ(game.State(), before);
}
