// The gamepad: what its sticks, triggers and buttons give the game as keys, mouse counts
// and buttons; pads missing, pulled out and plugged in; and a game played on the port's
// XInput (SDL's virtual joystick standing in for a pad) that a demo keeps exactly.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "Shell/Demo.h"
#include "Shell/Main.h"
#include "Shell/Options.h"
#include "Types3d/Types3d.h"
#include "input/DXGamepad.h"
#include "input/DXInput.h"
#include "port/Port.h"
#include "support/HeadlessGame.h"
#include "support/VirtualPad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace
{
XINPUT_GAMEPAD pad;
DWORD padUser = 0; // the number the pad answers to; XUSER_MAX_COUNT: none
int calls = 0;

DWORD WINAPI PadState(DWORD user, XINPUT_STATE* state)
{
    calls++;
    if (user != padUser)
        return ERROR_DEVICE_NOT_CONNECTED;
    *state = XINPUT_STATE{0, pad};
    return ERROR_SUCCESS;
}

// One frame ms after the last: the snapshot the pad leaves on an empty one.
const DXInput& Read(DXGamepad& gamepad, uint32_t ms)
{
    static DXInput in;
    in = DXInput();
    port::AdvanceTestClock(ms);
    gamepad.AddTo(in);
    return in;
}

XINPUT_GAMEPAD Pad(SHORT lx, SHORT ly, SHORT rx, SHORT ry, WORD buttons = 0, BYTE lt = 0,
                   BYTE rt = 0)
{
    return XINPUT_GAMEPAD{buttons, lt, rt, lx, ly, rx, ry};
}

const SHORT FULL = 32767;
// Half way from the dead zone's edge (25 %) to full tilt (90 %).
const SHORT HALF = SHORT(0.575 * 32767);
} // namespace

TEST(DXGamepad, SticksWalkAndLookAtTheirShareOfFullTiltAndTriggersAndButtonsPressAsKeysDo)
{
    port::UseTestClock(5000);
    padUser = 0;
    // A second of frames, 50 ms each: the frames the key is held, and the view's turn in
    // degrees as the rules turn it, right and up.
    const struct
    {
        XINPUT_GAMEPAD pad;
        uint8_t key;
        int held;
        double right, up;
    } holds[] = {{Pad(0, FULL, 0, 0), DIK_W, 20, 0, 0},      {Pad(0, -HALF, 0, 0), DIK_S, 10, 0, 0},
                 {Pad(FULL, 0, 0, 0), DIK_D, 20, 0, 0},      {Pad(-6553, 0, 0, 0), DIK_A, 0, 0, 0},
                 {Pad(FULL, FULL, 0, 0), DIK_W, 14, 0, 0},   {Pad(0, 0, FULL, 0), 0, 0, 150, 0},
                 {Pad(0, 0, -HALF, 0), 0, 0, -75, 0},        {Pad(0, 0, 4600, -4600), 0, 0, 0, 0},
                 {Pad(0, 0, -FULL, -FULL), 0, 0, -106, -106}};
    for (const auto& h : holds)
    {
        DXGamepad gamepad(PadState);
        pad = h.pad;
        int held = 0, others = 0;
        double right = 0, up = 0;
        Read(gamepad, 50);
        for (int frame = 0; frame < 20; frame++)
        {
            const DXInput& in = Read(gamepad, 50);
            for (uint8_t k : {DIK_W, DIK_S, DIK_A, DIK_D})
                (k == h.key ? held : others) += in.keys[k] != 0;
            right += in.mouseState.lX * MouseSensitivity / 35000.0 * 180.0 / PI;
            up -= in.mouseState.lY * MouseSensitivity / 35000.0 * 180.0 / PI;
        }
        EXPECT_TRUE(held == h.held && others == (h.pad.sThumbLX && h.pad.sThumbLY ? h.held : 0))
            << h.pad.sThumbLX << ", " << h.pad.sThumbLY << ": " << held << " and " << others;
        EXPECT_TRUE(std::abs(right - h.right) < 1.0 && std::abs(up - h.up) < 1.0)
            << h.pad.sThumbRX << ", " << h.pad.sThumbRY << ": " << right << ", " << up;
    }

    // Frame after frame, so that a press is a change from the frame before.
    const struct
    {
        WORD buttons;
        BYTE lt, rt;
        bool axe, board, quit;
    } presses[] = {{0, 0, 31, true, false, false},
                   {0, 0, XINPUT_GAMEPAD_TRIGGER_THRESHOLD, false, false, false},
                   {XINPUT_GAMEPAD_A, 0, 0, false, true, false},
                   {0, 200, 0, false, true, false},
                   {XINPUT_GAMEPAD_BACK, 0, 0, false, false, true},
                   {XINPUT_GAMEPAD_START, 0, 0, false, false, true},
                   {XINPUT_GAMEPAD_B | XINPUT_GAMEPAD_X | XINPUT_GAMEPAD_Y |
                        XINPUT_GAMEPAD_LEFT_SHOULDER | XINPUT_GAMEPAD_RIGHT_SHOULDER,
                    0, 0, false, false, false}};
    DXGamepad gamepad(PadState);
    for (const auto& p : presses)
    {
        pad = Pad(0, 0, 0, 0, p.buttons, p.lt, p.rt);
        const DXInput& in = Read(gamepad, 16);
        int down = 0;
        for (int k = 0; k < 256; k++)
            down += in.keys[k] != 0;
        EXPECT_TRUE((in.mouseState.rgbButtons[0] != 0) == p.axe &&
                    (in.mouseState.rgbButtons[1] != 0) == p.board &&
                    (in.keys[DIK_ESCAPE] != 0) == p.quit && down == p.quit)
            << p.buttons << " " << int(p.lt) << " " << int(p.rt);
    }
    port::UseRealClock();
}

TEST(DXGamepad, MissingPulledOutAndPluggedInPadsAndTheTimeAway)
{
    port::UseTestClock(5000);
    pad = Pad(0, FULL, FULL, 0, 0, 0, 255);
    DXGamepad none(nullptr); // no XInput at all
    EXPECT_TRUE(Read(none, 16).keys[DIK_W] == 0 && none.user == -1);

    // No pad: all four numbers asked at once, then once a second, not every frame.
    padUser = XUSER_MAX_COUNT, calls = 0;
    DXGamepad gamepad(PadState);
    for (int frame = 0; frame < 124; frame++)
        EXPECT_EQ(Read(gamepad, 16).keys[DIK_W], 0);
    EXPECT_EQ(calls, 4 + 4);
    // Plugged in as the third: found at the next look, and read every frame from then on.
    padUser = 2, calls = 0;
    int frames = 1;
    while (Read(gamepad, 16).keys[DIK_W] == 0 && frames < 100)
        frames++;
    EXPECT_TRUE(gamepad.user == 2 && frames <= 1000 / 16 && calls == 3) << frames << " " << calls;
    // Pulled out while held: let go at once, and looked for again.
    padUser = XUSER_MAX_COUNT, calls = 0;
    const DXInput& out = Read(gamepad, 16);
    EXPECT_TRUE(out.keys[DIK_W] == 0 && out.mouseState.rgbButtons[0] == 0 && calls == 1 + 4);

    // Back after the game was away: the time away turns nothing, and the trigger held on
    // return counts only once let go.
    padUser = 0;
    for (int frame = 0; frame < 70 && gamepad.user < 0; frame++)
        Read(gamepad, 16);
    gamepad.Suspend();
    port::AdvanceTestClock(5000);
    const DXInput& back = Read(gamepad, 0);
    EXPECT_TRUE(back.mouseState.lX == 0 && back.mouseState.rgbButtons[0] == 0);
    EXPECT_EQ(Read(gamepad, 16).mouseState.rgbButtons[0], 0);
    pad.bRightTrigger = 0;
    Read(gamepad, 16);
    pad.bRightTrigger = 255;
    EXPECT_NE(Read(gamepad, 16).mouseState.rgbButtons[0], 0);
    port::UseRealClock();
}

namespace
{
// A tree straight ahead of the start, and one further on that stops the walk.
testworld::World PadWorld()
{
    testworld::World w;
    w.trees = {{9, 5}, {60, 5}};
    return w;
}

// Frames, the pad as it is, until the game shows the change or the limit is reached.
int FramesUntil(testgame::HeadlessGame& game, const std::function<bool()>& done, int most = 300)
{
    int frames = 0;
    for (; frames < most && !done(); frames++)
        game.Frame();
    return frames;
}
} // namespace

TEST(DXGamepad, APadOnThePortsXInputPlaysAGameADemoKeepsExactly)
{
    const std::string demoPath = testing::TempDir() + "pad.demo";
    std::string end;
    gameOptions = Options();
    gameOptions.record = demoPath;
    {
        testgame::HeadlessGame game(PadWorld());
        const CGame& g = game.Game();
        game.Frame();
        auto pad = std::make_unique<VirtualPad>(); // plugged in during play
        EXPECT_LE(FramesUntil(game, [] { return gamepad->user >= 0; }), 1000 / 16 + 1);

        // The right trigger fells the tree ahead; the left stick walks to the next one.
        pad->Set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
        EXPECT_LT(FramesUntil(game, [&] { return g.wood == 1; }), 30);
        pad->Set(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, VirtualPad::REST);
        pad->Set(SDL_CONTROLLER_AXIS_LEFTY, -32768);
        EXPECT_EQ(FramesUntil(
                      game, [&] { return g.posX >= 56.0; }, 80),
                  51);
        pad->Set(SDL_CONTROLLER_AXIS_LEFTY, 0);

        // The right stick looks right and up; with InvertLook the same push looks down, and
        // so does the mouse pushed forward.
        const double yaw = g.yaw, pitch = g.pitch;
        pad->Set(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
        pad->Set(SDL_CONTROLLER_AXIS_RIGHTY, -32768);
        game.Frame();
        EXPECT_TRUE(g.yaw > yaw && g.pitch > pitch);
        InvertLook = 1;
        const double up = g.pitch;
        game.Frame();
        pad->Set(SDL_CONTROLLER_AXIS_RIGHTY, 0);
        const double down = g.pitch;
        testgame::Input mouseForward;
        mouseForward.mouseDY = -100;
        game.Frame(mouseForward);
        EXPECT_TRUE(down < up && g.pitch < down);
        InvertLook = 0;

        // Pulled out while walking: the walk stops, and nothing else; plugged in again, it
        // walks on.
        pad->Set(SDL_CONTROLLER_AXIS_LEFTY, 32767);
        game.Frame();
        pad.reset();
        const double x = g.posX;
        FramesUntil(
            game, [] { return false; }, 10);
        EXPECT_TRUE(g.posX == x && gamepad->user == -1 && port::MessageBoxes().empty());
        pad = std::make_unique<VirtualPad>();
        pad->Set(SDL_CONTROLLER_AXIS_LEFTY, 32767);
        EXPECT_LE(FramesUntil(game, [&] { return g.posX != x; }), 1000 / 16 + 1);

        // Back quits, as Escape does.
        pad->Set(SDL_CONTROLLER_BUTTON_BACK, true);
        FramesUntil(
            game, [&] { return game.QuitRequested(); }, 3);
        EXPECT_TRUE(game.QuitRequested());
        end = game.State();
    }
    // Played back without a pad, to the same end.
    gameOptions = Options();
    gameOptions.timedemo = demoPath;
    {
        testgame::HeadlessGame game(PadWorld());
        FramesUntil(
            game, [&] { return game.QuitRequested(); }, 5000);
        EXPECT_TRUE(demo::Finished() && demo::EndedAsRecorded() && game.State() == end);
    }
    gameOptions = Options();
}
