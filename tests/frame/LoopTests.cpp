// The program's life: start-up failures reaching the error box, the input step, the
// game-over frames, the window procedure, shutdown, and whole headless runs of WinMain.
#include "frame/FrameSupport.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Main.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "input/DXInput.h"
#include "port/Port.h"
#include "support/TempDir.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace
{
HINSTANCE Instance()
{
    return GetModuleHandleA(nullptr);
}

// Each test starts from the globals as the program starts: nothing made but an empty
// game object, and the port with no leftovers.
class Loop : public ::testing::Test
{
  protected:
    TempDir dir;

    void SetUp() override
    {
        static bool first = true; // the start-up initializer made the first game object
        if (!first)
            game = new CGame();
        first = false;
        mainForm = nullptr;
        gfx = nullptr;
        device = nullptr;
        dxInput = nullptr;
        gameOverImage0 = gameOverImage1 = nullptr;
        gameState = 0;
        shutdownDone = false;

        port::SetHeadless(true);
        port::UseTestClock(5000000);
        port::ClearScriptedInput();
        port::ClearKeyEvents();
        port::ClearMessageBoxes();
        MSG leftover;
        while (PeekMessageA(&leftover, nullptr, 0, 0, PM_REMOVE))
        {
        }
        cursorAtStart = port::CursorCounter();
    }
    void TearDown() override
    {
        Shutdown(); // does nothing when the test already shut down
        port::ClearScriptedInput();
        port::UseRealClock();
    }

    // What WinMain builds, with a world made by hand instead of read from files.
    void Start()
    {
        mainForm = new TForm(WindowProc, Instance());
        mainForm->Create(nullptr, "Gloamfield", 640, 480, 1);
        gfx = new DXGfx();
        LoadDXLibraries(DXLIB_DINPUT8);
        dxInput = new DXInput(Instance());
        dxInput->CreateMouse(mainForm->hwnd);
        dxInput->CreateKB(mainForm->hwnd);
        device = new DXDevice(gfx, mainForm->hwnd, 37058);
        memory = port::LastMemoryDevice();
        gameOverImage0 = MakeOverlay(640, 480);
        gameOverImage1 = MakeOverlay(640, 480);
        FillTestGame(*game);
        ShowCursor(FALSE);
    }
    void Frame()
    {
        UpdateFrame();
        RenderFrame();
    }
    bool QuitWaiting()
    {
        MSG msg;
        return PeekMessageA(&msg, mainForm->hwnd, 0, 0, PM_REMOVE) && msg.message == WM_QUIT;
    }

    void WriteSettings() const
    {
        dir.Write("GameSettings.ini",
                  "MouseSensitivity=100\r\nXResolution=800\r\nYResolution=600\r\n");
    }
    void WriteGameOverImages() const
    {
        for (const char* name : {"Data/GameOver0.bmp", "Data/GameOver1.bmp"})
            dir.Write(name,
                      testworld::Bitmap(640, 480, [](int32_t, int32_t) { return 0x404040u; }));
    }
    void WriteWholeWorld() const
    {
        WriteSettings();
        WriteGameOverImages();
        testworld::WriteWorld(dir, testworld::FlatHeights(0), {{200, 200}}, {{40, 40}, {60, 90}},
                              {testworld::UprightQuad(0, 128, 0, 30)});
    }
    // The one error box, which must come after shutdown has shown the cursor again.
    static void ExpectOnlyBox(const std::string& text, int cursorBefore)
    {
        ASSERT_EQ(port::MessageBoxes().size(), 1u) << text;
        const port::MessageBoxRecord& box = port::MessageBoxes()[0];
        EXPECT_EQ(box.caption, "Gloamfield");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.type, UINT(MB_ICONERROR));
        EXPECT_TRUE(shutdownDone);
        EXPECT_EQ(port::WindowCount(), 0);
        EXPECT_EQ(port::CursorCounter(), cursorBefore + 1);
    }

    port::MemoryDevice* memory = nullptr;
    int cursorAtStart = 0;
};
} // namespace

TEST_F(Loop, EscapePostsQuitAndSkipsTheUpdateButTheFrameIsDrawn)
{
    Start();
    // Without Escape the update runs: a second on, the clock moves ten minutes.
    port::AdvanceTestClock(1000);
    Frame();
    EXPECT_EQ(game->minute, 10);
    EXPECT_FALSE(QuitWaiting());

    port::SetScriptedKey(DIK_ESCAPE, true);
    port::SetScriptedKey(DIK_W, true);
    double x = game->posX;
    int32_t minutes = game->gameMinutes;
    port::AdvanceTestClock(10000);
    memory->ClearCalls();
    Frame();
    EXPECT_EQ(game->gameMinutes, minutes);
    EXPECT_EQ(game->posX, x);
    std::vector<std::string> trace = FrameTrace(memory->calls);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), "Clear 76D3E4");
    EXPECT_EQ(trace.back(), "Present");
    EXPECT_TRUE(QuitWaiting());
}

TEST_F(Loop, PrintScreenOncePerPressOfTheFourKey)
{
    Start();
    port::SetScriptedKey(DIK_4, true);
    for (int i = 0; i < 3; i++)
        Frame(); // held
    ASSERT_EQ(port::KeyEvents().size(), 1u);
    EXPECT_EQ(port::KeyEvents()[0].virtualKey, VK_SNAPSHOT);
    EXPECT_EQ(port::KeyEvents()[0].scanCode, 0);
    EXPECT_EQ(port::KeyEvents()[0].flags, 0u);

    port::SetScriptedKey(DIK_4, false);
    Frame();
    port::SetScriptedKey(DIK_4, true);
    gameState = 1; // also on a game-over screen
    Frame();
    Frame();
    EXPECT_EQ(port::KeyEvents().size(), 2u);
    // "4" on the number pad is another key.
    port::SetScriptedKey(DIK_4, false);
    port::SetScriptedKey(DIK_NUMPAD4, true);
    Frame();
    EXPECT_EQ(port::KeyEvents().size(), 2u);
}

TEST_F(Loop, MousePositionStaysOnTheScreenGrid)
{
    Start();
    gameState = 1; // keep the view still; only the position matters here
    port::SetScriptedMouse(700, 20, false, false);
    Frame();
    EXPECT_EQ(dxInput->mouseX, 639);
    EXPECT_EQ(dxInput->mouseY, 20);
    port::SetScriptedMouse(-100, 900, false, false);
    Frame();
    EXPECT_EQ(dxInput->mouseX, 539);
    EXPECT_EQ(dxInput->mouseY, 479);
    port::SetScriptedMouse(-5000, -5000, false, false);
    Frame();
    EXPECT_EQ(dxInput->mouseX, 0);
    EXPECT_EQ(dxInput->mouseY, 0);
    port::SetScriptedMouse(3, 4, false, false);
    Frame();
    EXPECT_EQ(dxInput->mouseX, 3);
    EXPECT_EQ(dxInput->mouseY, 4);
}

TEST_F(Loop, GameOverFramesDrawOnlyTheirPictureAndTheWorldStandsStill)
{
    Start();
    for (int32_t state : {1, 2})
    {
        gameState = state;
        DXOverlay* picture = state == 1 ? gameOverImage0 : gameOverImage1;
        int32_t minutes = game->gameMinutes;
        port::SetScriptedKey(DIK_W, true);
        double x = game->posX;
        port::AdvanceTestClock(20000);
        memory->ClearCalls();
        Frame();
        EXPECT_EQ(game->gameMinutes, minutes);
        EXPECT_EQ(game->posX, x);

        std::vector<std::string> expected = {"D3DRS_ALPHABLENDENABLE 0",
                                             "D3DRS_ALPHATESTENABLE 0",
                                             "D3DTS_PROJECTION",
                                             "D3DTS_VIEW",
                                             "D3DRS_ZENABLE 0",
                                             "D3DRS_ZWRITEENABLE 0",
                                             "D3DRS_LIGHTING 0",
                                             "Clear 000000",
                                             "BeginScene",
                                             "Overlay " + NameOf(picture),
                                             "Overlay " + NameOf(picture),
                                             "EndScene",
                                             "Present"};
        EXPECT_EQ(FrameTrace(memory->calls), expected) << "state " << state;
        EXPECT_EQ(OverlayRects(memory->calls), std::vector<ScreenRect>{Rect(picture, 0, 0)});

        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        const D3DMATRIX& projection = memory->Transform(D3DTS_PROJECTION);
        const D3DMATRIX& view = memory->Transform(D3DTS_VIEW);
        for (int i = 0; i < 16; i++)
        {
            EXPECT_EQ(projection.m[i / 4][i % 4], identity[i]);
            EXPECT_EQ(view.m[i / 4][i % 4], i == 5 ? -1.0f : identity[i]);
        }
    }
    // Escape ends a game-over screen as it ends play.
    port::SetScriptedKey(DIK_ESCAPE, true);
    Frame();
    EXPECT_TRUE(QuitWaiting());
}

TEST_F(Loop, WindowCloseQuitsWithoutDestroyingTheWindow)
{
    Start();
    EXPECT_EQ(WindowProc(mainForm->hwnd, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(port::WindowCount(), 1);
    EXPECT_TRUE(QuitWaiting());
}

TEST_F(Loop, ShutdownRunsOnceAndDestroysInOrder)
{
    Start();
    std::vector<std::string> gameTextures = {
        NameOf(game->grassTexture), NameOf(game->wallTexture),   NameOf(game->treeTexture),
        NameOf(game->boardTexture), NameOf(game->zombieTexture), NameOf(game->axeIdleImage)};
    std::string picture0 = NameOf(gameOverImage0), picture1 = NameOf(gameOverImage1);
    memory->ClearCalls();
    int cursor = port::CursorCounter();

    Shutdown();
    EXPECT_TRUE(shutdownDone);
    EXPECT_EQ(port::CursorCounter(), cursor + 1);
    EXPECT_EQ(port::WindowCount(), 0);

    // Released: the game's textures, the two pictures, then the buffer and the device.
    std::vector<std::string> released;
    for (const port::DeviceCall& call : memory->calls)
        if (call.kind == port::CallKind::Release)
            released.push_back(call.created);
    auto at = [&](const std::string& name)
    { return std::find(released.begin(), released.end(), name) - released.begin(); };
    ASSERT_EQ(released.back(), "device");
    for (const std::string& name : gameTextures)
        EXPECT_LT(at(name), at(picture0)) << name;
    EXPECT_LT(at(picture0), at(picture1));
    EXPECT_EQ(at(picture1) + 2, long(released.size()) - 1); // then the vertex buffer
    EXPECT_TRUE(memory->Released());

    // A second call does nothing.
    Shutdown();
    EXPECT_EQ(port::CursorCounter(), cursor + 1);
}

TEST_F(Loop, MissingSettingsFileShowsItsNameAndNoWindow)
{
    EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    ExpectOnlyBox("File not found: 'GameSettings.ini'", cursorAtStart);
    EXPECT_EQ(mainForm, nullptr);
}

TEST_F(Loop, MissingGameOverPictureEndsStartUpAfterTheDevice)
{
    WriteSettings();
    EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    ExpectOnlyBox("File not found: 'Data\\GameOver0.bmp'", cursorAtStart);
    // The device was made with the settings' size, and is gone again.
    port::MemoryDevice* made = port::LastMemoryDevice();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->presentParameters.BackBufferWidth, 800u);
    EXPECT_EQ(made->presentParameters.BackBufferHeight, 600u);
    EXPECT_TRUE(made->Released());
}

TEST_F(Loop, RefusedWorldFileShowsTheLoadersMessage)
{
    WriteWholeWorld();
    dir.WriteInts("Data/hmap.dat", {1, 2, 3});
    std::string expected;
    {
        // The loader's own words for this file, read the same way the game reads it.
        testworld::HeadlessDevice headless;
        CGame probe;
        try
        {
            probe.LoadWorld();
        }
        catch (const _TException& e)
        {
            expected = e.message;
        }
    }
    ASSERT_EQ(expected.rfind("Data\\hmap.dat", 0), 0u) << expected;

    EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    ExpectOnlyBox(expected, cursorAtStart);
    EXPECT_TRUE(port::LastMemoryDevice()->Released());
}

TEST_F(Loop, WholeRunEndsOnEscapeAfterOneFrame)
{
    WriteWholeWorld();
    port::SetScriptedKey(DIK_ESCAPE, true);
    EXPECT_EQ(WinMain(Instance(), nullptr, nullptr, SW_SHOWNORMAL), 0);
    EXPECT_TRUE(port::MessageBoxes().empty());
    EXPECT_TRUE(shutdownDone);
    EXPECT_EQ(port::WindowCount(), 0);
    EXPECT_EQ(port::CursorCounter(), cursorAtStart); // hidden while running, shown again

    port::MemoryDevice* made = port::LastMemoryDevice();
    EXPECT_EQ(made->presents, 1);
    EXPECT_TRUE(made->Released());
    std::vector<std::string> trace = FrameTrace(made->calls);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "Clear 76D3E4"), 1);
}

TEST_F(Loop, AnyOtherFailureStillEndsInTheErrorBox)
{
    // Before the handlers for every kind, a math or library failure ended the program
    // with no box at all.
    const struct
    {
        void (*body)();
        const char* text;
    } cases[] = {
        {[] { throw M3DException(); }, "Math error: a vector of zero length cannot be normalised."},
        {[] { throw std::runtime_error("out of range"); }, "Unexpected error: out of range"},
        {[] { throw 7; }, "Unexpected error."},
        {[] { throw DXException(-5, "DXDevice::Render() - Present() failed"); },
         "DXDevice::Render() - Present() failed"},
    };
    for (const auto& c : cases)
    {
        port::ClearMessageBoxes();
        if (shutdownDone) // the last case's Shutdown took the game object
        {
            shutdownDone = false;
            game = new CGame();
        }
        int cursor = port::CursorCounter();
        EXPECT_EQ(RunProtected(c.body), 0);
        ExpectOnlyBox(c.text, cursor);
    }
}
