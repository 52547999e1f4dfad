// The program's life: start-up, the loop's keys and mouse, every failure ending in the error
// box, shutdown.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
#include "Shell/Options.h"
#include "Gedx/DXException.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "support/Failure.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"
#include "port/PortInternal.h"
#include "support/HeadlessGame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>

using testgame::HeadlessGame;

// First in the file: once found, DirectInput's entry point is kept for the process.
TEST(Loop, EveryFailureEndsInTheErrorBoxAndWinMainReturnsOne)
{
    auto none = [] {};
    // What goes wrong before WinMain (in the world's directory) or what a body run in its place
    // throws, and the box's text; the last starts, and Escape ends it with 0.
    const struct
    {
        void (*breakIt)();
        void (*body)();
        std::string message;
    } cases[] = {
        {[] { gameOptions.settings = "gone.ini"; }, nullptr, "File not found: 'gone.ini'"},
        {[] { port::SetModuleAvailable("d3d9.dll", false); }, nullptr, "Unable to load d3d9.dll"},
        {[] { port::SetModuleAvailable("dinput8.dll", false); }, nullptr,
         "Invalid DirectInput library (dinput8.dll)"},
        {[] { port::FailNextMemoryDeviceCreation(D3DERR_NOTAVAILABLE); }, nullptr,
         "Failed to create Direct3D device: the display cannot show 800 x 600 full screen. Set "
         "XResolution and YResolution in GameSettings.ini to a size it can show, or both to 0 "
         "for the desktop's own size."},
        // No display shows a picture this wide: refused before anything is made for it.
        {[]
         {
             FILE* settings = std::fopen("GameSettings.ini", "a");
             std::fputs("XResolution=8193\n", settings);
             std::fclose(settings);
         },
         nullptr,
         "Failed to create Direct3D device: the display cannot show 8193 x 600 full screen. Set "
         "XResolution and YResolution in GameSettings.ini to a size it can show, or both to 0 "
         "for the desktop's own size."},
        {[] { std::remove("Data/GameOver0.bmp"); }, nullptr,
         "File not found: 'Data\\GameOver0.bmp'"},
        {[] { std::fclose(std::fopen("Data/hmap.dat", "wb")); }, nullptr,
         "Data\\hmap.dat: 0 bytes, 65536 needed"},
        {none, [] { throw M3DException(); },
         "Math error: a vector of zero length cannot be normalised."},
        {none, [] { throw std::runtime_error("out of range"); }, "Unexpected error: out of range"},
        {none, [] { throw 7; }, "Unexpected error."},
        {[] { port::SetScriptedKey(DIK_ESCAPE, true); }, nullptr, ""}};
    for (const auto& [breakIt, body, message] : cases)
    {
        SCOPED_TRACE(message);
        TempDir dir;
        testworld::World world;
        world.settings = "MouseSensitivity=100\nXResolution=800\nYResolution=600\n";
        testworld::WriteWorld(dir, world);
        port::SetHeadless(true);
        testgame::ResetGlobals();
        port::SetCommandLineArguments({});
        port::MemoryDevice* before = port::LastMemoryDevice();
        int cursor = port::CursorCounter();
        breakIt();
        EXPECT_EQ(body ? RunProtected(body)
                       : WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 0),
                  message.empty() ? 0 : 1);
        // The one error box, captioned with the game's name, after the window went.
        const std::vector<port::MessageBoxRecord>& boxes = port::MessageBoxes();
        EXPECT_TRUE(message.empty()
                        ? boxes.empty() && port::LastMemoryDevice()->presents == 1
                        : boxes.size() == 1 && boxes[0].text == message &&
                              boxes[0].caption == "Gloamfield" && boxes[0].type == MB_ICONERROR);
        EXPECT_TRUE(shutdownDone && port::WindowCount() == 0);
        EXPECT_EQ(port::CursorCounter(), cursor + !message.empty()) << "shown again";
        // A device made has the settings' size and is gone again.
        port::MemoryDevice* made = port::LastMemoryDevice();
        EXPECT_TRUE(made == before ||
                    (made->Released() && made->presentParameters.BackBufferWidth == 800 &&
                     made->presentParameters.BackBufferHeight == 600));
        port::SetModuleAvailable("d3d9.dll", true);
        port::SetModuleAvailable("dinput8.dll", true);
        gameOptions = Options();
        game = nullptr; // Shutdown deleted it
    }
    testgame::ResetGlobals();
}

TEST(Loop, EscapeOrClosingTheWindowEndsTheLoopOnceTheFrameIsDrawn)
{
    // Game state, keys held or the window closed, whether the game moves on and the loop ends.
    const struct
    {
        int32_t state;
        std::vector<uint8_t> keys;
        bool close;
        bool updates;
        bool quits;
    } cases[] = {{GAME_PLAYING, {DIK_W}, false, true, false},
                 {GAME_PLAYING, {DIK_ESCAPE, DIK_W}, false, false, true},
                 {GAME_CAUGHT_OUTSIDE, {DIK_W}, false, false, false},
                 {GAME_KILLED, {DIK_ESCAPE}, false, false, true},
                 {GAME_PLAYING, {}, true, false, true}};
    for (const auto& [state, keys, close, updates, quits] : cases)
    {
        HeadlessGame play;
        gameState = state;
        std::string before = play.State();
        if (close)
            port::PostWindowMessage(mainForm->hwnd, WM_CLOSE);
        play.Frame({keys}, 2000);
        EXPECT_EQ(play.State() != before, updates) << "state " << state;
        // Drawn, unless the window was closed: its quit comes before the frame. The window
        // itself goes only at shutdown.
        EXPECT_TRUE(play.Memory()->presents == (close ? 0 : 1) && play.QuitRequested() == close &&
                    port::WindowCount() == 1);
        play.Frame();
        EXPECT_EQ(play.QuitRequested(), quits) << "state " << state;
    }
}

TEST(Loop, FourKeySendsOnePrintScreenPerPressAndTheMouseStaysOnTheGrid)
{
    HeadlessGame play;
    // Keys held, game state, mouse motion; Print Screens sent so far, mouse position after.
    const struct
    {
        std::vector<uint8_t> keys;
        int32_t state;
        int32_t dx;
        int32_t dy;
        size_t events;
        int32_t x;
        int32_t y;
    } frames[] = {
        {{DIK_4}, GAME_PLAYING, 700, 20, 1, 639, 20}, // held from the start: pressed at once
        {{DIK_4}, GAME_PLAYING, -100, 900, 1, 539, 479}, {{}, GAME_PLAYING, -5000, -5000, 1, 0, 0},
        {{DIK_4}, GAME_KILLED, 3, 4, 2, 3, 4},           {{DIK_4}, GAME_KILLED, 0, 0, 2, 3, 4},
        {{DIK_NUMPAD4}, GAME_KILLED, 0, 0, 2, 3, 4},     {{DIK_4}, GAME_KILLED, 0, 0, 3, 3, 4}};
    for (const auto& [keys, state, dx, dy, events, x, y] : frames)
    {
        gameState = state;
        testgame::Input input;
        input.keys = keys, input.mouseDX = dx, input.mouseDY = dy;
        play.Frame(input);
        EXPECT_TRUE(port::KeyEvents().size() == events &&
                    (!events || (port::KeyEvents().back().virtualKey == VK_SNAPSHOT &&
                                 port::KeyEvents().back().scanCode == 0 &&
                                 port::KeyEvents().back().flags == 0)));
        EXPECT_TRUE(dxInput->mouseX == x && dxInput->mouseY == y)
            << dxInput->mouseX << ", " << dxInput->mouseY;
    }
}

TEST(Loop, StartUpOpensTheGameAndShutdownReleasesEverythingOnceAndInOrder)
{
    const int cursor = port::CursorCounter();
    HeadlessGame play;
    const CGame& g = play.Game();
    EXPECT_TRUE(gameState == GAME_PLAYING && g.phase == PHASE_DAY && g.hour == 6 && g.minute == 0);
    EXPECT_TRUE(g.posX == START_X && g.posY == START_Y);
    EXPECT_EQ(port::CursorCounter(), cursor - 1) << "the cursor hides while the game runs";
    // A borderless pop-up over the whole 1024 x 768 screen, shown.
    const port::internal::WindowRecord* w = port::internal::FindWindowRecord(mainForm->hwnd);
    ASSERT_TRUE(w && w->visible && w->title == "Gloamfield" &&
                (w->style & ~WS_VISIBLE) == (WS_POPUP | WS_SYSMENU));
    EXPECT_TRUE(w->x == 0 && w->y == 0 && w->width == 1024 && w->height == 768);
    EXPECT_EQ(w->procedure, &WindowProc);

    port::MemoryDevice* memory = play.Memory();
    auto name = [&](DXTexture* t) { return memory->NameOf(t->texture); };
    const std::string world[] = {name(g.grassTexture), name(g.axeIdleImage->texture)};
    const std::string picture0 = name(gameOverImage0->texture),
                      picture1 = name(gameOverImage1->texture);
    for (int time = 0; time < 2; time++) // the second time does nothing
    {
        Shutdown();
        EXPECT_TRUE(port::CursorCounter() == cursor && port::WindowCount() == 0);
    }
    // The game's images, the two pictures, then the vertex buffer and the device.
    std::vector<std::string> released;
    for (const port::DeviceCall& call : memory->calls)
        if (call.kind == port::CallKind::Release)
            released.push_back(call.created);
    auto at = [&](const std::string& n)
    { return std::find(released.begin(), released.end(), n) - released.begin(); };
    for (const std::string& n : world)
        EXPECT_LT(at(n), at(picture0)) << n;
    ASSERT_GE(released.size(), 3u);
    EXPECT_TRUE(at(picture0) < at(picture1) && at(picture1) == long(released.size()) - 3 &&
                released.end()[-2].rfind("vb#", 0) == 0 && released.back() == "device" &&
                memory->Released());
}
