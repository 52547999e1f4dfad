// The program's life: start-up, the loop's keys and mouse, every failure ending in the error
// box, shutdown; the input snapshot over the port's scripted DirectInput; the main window.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Main.h"
#include "Gedx/DXException.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TForm.h"
#include "frame/Failure.h"
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
#include <tuple>

using testgame::HeadlessGame;

namespace
{
// A device method forwarded to the port's device, unless it is the one made to fail.
#define FORWARD(method, params, args)                                                              \
    HRESULT method params override                                                                 \
    {                                                                                              \
        return failOn == #method ? E_FAIL : real->method args;                                     \
    }

class FailingDevice : public IDirectInputDevice8A
{
  public:
    FailingDevice(IDirectInputDevice8A* real, std::string failOn) : real(real), failOn(failOn) {}
    ULONG AddRef() override { return real->AddRef(); }
    ULONG Release() override { return releases++, real->Release(); }
    HRESULT Unacquire() override { return unacquires++, real->Unacquire(); }
    FORWARD(SetProperty, (REFGUID g, LPCDIPROPHEADER h), (g, h))
    FORWARD(Acquire, (), ())
    FORWARD(GetDeviceState, (DWORD size, LPVOID data), (size, data))
    FORWARD(SetDataFormat, (LPCDIDATAFORMAT f), (f))
    FORWARD(SetCooperativeLevel, (HWND w, DWORD flags), (w, flags))
    IDirectInputDevice8A* real;
    std::string failOn;
    int releases = 0, unacquires = 0;
};

// A snapshot of its own beside the game's, whose DirectInput object forwards to the port's
// but makes the step named failOn fail, and counts its releases.
class Snapshot : public IDirectInput8A
{
  public:
    explicit Snapshot(const std::string& failOn = "") : failOn(failOn)
    {
        real = input->directInput, input->directInput = this;
    }
    ULONG AddRef() override { return real->AddRef(); }
    ULONG Release() override { return releases++, real->Release(); }
    HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* out, LPUNKNOWN outer) override
    {
        HRESULT hr = failOn == "CreateDevice" ? E_FAIL : real->CreateDevice(guid, out, outer);
        if (SUCCEEDED(hr))
            devices.emplace_back(new FailingDevice(*out, failOn)), *out = devices.back().get();
        return hr;
    }
    std::string failOn;
    std::vector<std::unique_ptr<FailingDevice>> devices;
    int releases = 0;
    IDirectInput8A* real = nullptr;
    std::unique_ptr<DXInput> input =
        std::make_unique<DXInput>(GetModuleHandleA(nullptr)); // goes first
};
} // namespace

// First in the file: once found, DirectInput's entry point is kept for the process.
TEST(Loop, EveryFailureEndsInTheErrorBoxAndWinMainReturnsZero)
{
    auto none = [] {};
    // What goes wrong before WinMain (in the world's directory) or what a body run in its place
    // throws, and the box's text; the last starts, and Escape ends it.
    const std::tuple<void (*)(), void (*)(), std::string> cases[] = {
        {[] { std::remove("GameSettings.ini"); }, nullptr, "File not found: 'GameSettings.ini'"},
        {[] { port::SetModuleAvailable("d3d9.dll", false); }, nullptr, "Unable to load d3d9.dll"},
        {[] { port::SetModuleAvailable("dinput8.dll", false); }, nullptr,
         "Invalid DirectInput library (dinput8.dll)"},
        {[] { port::FailNextMemoryDeviceCreation(D3DERR_NOTAVAILABLE); }, nullptr,
         "Failed to create Direct3D device"},
        // No display shows a picture this wide: refused before anything is made for it.
        {[]
         {
             FILE* settings = std::fopen("GameSettings.ini", "a");
             std::fputs("XResolution=8193\n", settings);
             std::fclose(settings);
         },
         nullptr, "Failed to create Direct3D device"},
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
        port::MemoryDevice* before = port::LastMemoryDevice();
        int cursor = port::CursorCounter();
        breakIt();
        EXPECT_EQ(
            body ? RunProtected(body) : WinMain(GetModuleHandleA(nullptr), nullptr, nullptr, 0), 0);
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
        game = nullptr; // Shutdown deleted it
    }
    testgame::ResetGlobals();
}

TEST(Loop, EscapeOrClosingTheWindowEndsTheLoopOnceTheFrameIsDrawn)
{
    // Game state, keys held or the window closed, whether the game moves on and the loop ends.
    const std::tuple<int32_t, std::vector<uint8_t>, bool, bool, bool> cases[] = {
        {GAME_PLAYING, {DIK_W}, false, true, false},
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
    const std::tuple<std::vector<uint8_t>, int32_t, int32_t, int32_t, size_t, int32_t, int32_t>
        frames[] = {
            {{DIK_4}, GAME_PLAYING, 700, 20, 1, 639, 20}, // held from the start: pressed at once
            {{DIK_4}, GAME_PLAYING, -100, 900, 1, 539, 479},
            {{}, GAME_PLAYING, -5000, -5000, 1, 0, 0},
            {{DIK_4}, GAME_KILLED, 3, 4, 2, 3, 4},
            {{DIK_4}, GAME_KILLED, 0, 0, 2, 3, 4},
            {{DIK_NUMPAD4}, GAME_KILLED, 0, 0, 2, 3, 4},
            {{DIK_4}, GAME_KILLED, 0, 0, 3, 3, 4}};
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
    // A borderless pop-up of 640 x 480, centred on the 1024 x 768 screen, shown.
    const port::internal::WindowRecord* w = port::internal::FindWindowRecord(mainForm->hwnd);
    ASSERT_TRUE(w && w->visible && w->title == "Gloamfield" && w->style == (WS_POPUP | WS_SYSMENU));
    EXPECT_TRUE(w->x == 192 && w->y == 144 && w->width == 640 && w->height == 480);
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

TEST(DXInput, PressesMouseScaleAndFloorEveryFailureReleasesAndTheDataFormat)
{
    testgame::HeadlessGame play;
    // Keys down, keys pressed, right button down, right button pressed.
    const std::tuple<std::vector<uint8_t>, std::vector<uint8_t>, bool, bool> frames[] = {
        {{DIK_SPACE}, {DIK_SPACE}, true, true},
        {{DIK_SPACE, DIK_W}, {DIK_W}, true, false},
        {{DIK_W}, {}, false, false},
        {{}, {}, true, true},
        {{DIK_W, DIK_ESCAPE}, {DIK_W, DIK_ESCAPE}, false, false}};
    for (const auto& [down, pressed, right, rightPressed] : frames)
    {
        BYTE keys[256] = {};
        for (uint8_t k : down)
            keys[k] = 0x80;
        port::SetScriptedKeys(keys);
        port::SetScriptedMouse(0, 0, false, right);
        dxInput->GetKBState();
        dxInput->GetMouseState();
        for (int k = 0; k < 256; k++)
            EXPECT_TRUE((dxInput->keys[k] != 0) == (keys[k] != 0) &&
                        (dxInput->keys[k] && !dxInput->prevKeys[k]) ==
                            (std::find(pressed.begin(), pressed.end(), k) != pressed.end()))
                << "key " << k;
        EXPECT_EQ(dxInput->mouseState.rgbButtons[1] && !dxInput->prevRightButton, rightPressed);
    }
    // A mouse of its own: movement scaled toward zero, the position kept at 0 or more.
    Snapshot s;
    s.input->mouseScale = 3.0f, s.input->mouseX = s.input->mouseY = 50;
    s.input->CreateMouse(mainForm->hwnd); // a new mouse starts at 0, unscaled
    // Scale (0: as it is), motion, scaled motion, position after.
    const std::tuple<float, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t> reads[] = {
        {0, 10, 20, 10, 20, 10, 20},
        {0, -15, -5, -15, -5, 0, 15},
        {0.3f, 7, 3, 2, 0, 2, 15},
        {0.3f, -3, -60, 0, -18, 2, 0},
        {2.0f, -5, 100, -10, 200, 0, 200}};
    for (auto [scale, dx, dy, lX, lY, x, y] : reads)
    {
        s.input->mouseScale = scale != 0 ? scale : s.input->mouseScale;
        port::SetScriptedMouse(dx, dy, false, false);
        s.input->GetMouseState();
        const DXInput& in = *s.input;
        EXPECT_TRUE(in.mouseState.lX == lX && in.mouseState.lY == lY && in.mouseX == x &&
                    in.mouseY == y)
            << dx << ", " << dy << " to " << in.mouseX << ", " << in.mouseY;
    }
    // Going, the snapshot lets its devices go before the object that made them.
    s.input->CreateKB(mainForm->hwnd);
    s.input.reset();
    ASSERT_EQ(s.devices.size(), 2u);
    for (const auto& d : s.devices)
        EXPECT_TRUE(d->unacquires == 1 && d->releases == 1);
    EXPECT_EQ(s.releases, 1);

    // Every failure names its step and carries the result.
    for (const char* step :
         {"CreateDevice", "SetDataFormat", "SetCooperativeLevel", "SetProperty", "Acquire"})
        for (bool mouse : {true, false})
        {
            if (!mouse && std::string(step) == "SetProperty")
                continue; // the keyboard has no axes to set
            Snapshot s(step);
            auto create = [&]
            { mouse ? s.input->CreateMouse(mainForm->hwnd) : s.input->CreateKB(mainForm->hwnd); };
            EXPECT_EQ(Failure<DXException>(create),
                      Said(E_FAIL, std::string("DXInput::") + (mouse ? "CreateMouse" : "CreateKB") +
                                       " failed - " + step + "() failed"));
        }
    EXPECT_EQ(Failure<DXException>([] { DXInput input(nullptr); }),
              Said(DIERR_INVALIDPARAM, "Failed to create DirectInput object"));
    // A read failing for any other reason than lost input names itself.
    for (bool mouse : {true, false})
    {
        Snapshot s;
        mouse ? s.input->CreateMouse(mainForm->hwnd) : s.input->CreateKB(mainForm->hwnd);
        s.devices.back()->failOn = "GetDeviceState";
        EXPECT_EQ(
            Failure<DXException>([&] { mouse ? s.input->GetMouseState() : s.input->GetKBState(); }),
            Said(E_FAIL, std::string("DXInput::") + (mouse ? "GetMouseState" : "GetKBState") +
                             " failed - GetDeviceState() failed"));
    }
    // Input lost to another window is no failure. While the devices cannot be had back the
    // snapshot is empty; once they are, what the mouse did meanwhile is dropped, and a key or
    // button held on coming back counts only when let go and pressed again.
    auto read = [](std::initializer_list<int> keys, LONG dx, bool left)
    {
        BYTE table[256] = {};
        for (int k : keys)
            table[k] = 0x80;
        port::SetScriptedKeys(table);
        port::SetScriptedMouse(dx, 0, left, false);
        dxInput->GetMouseState();
        dxInput->GetKBState();
        const DXInput& in = *dxInput;
        return std::make_tuple(in.keys[DIK_SPACE] != 0, in.prevKeys[DIK_SPACE] != 0,
                               in.mouseState.lX, in.mouseState.rgbButtons[0] != 0);
    };
    read({DIK_SPACE}, 0, true);
    {
        Snapshot away;
        away.input->CreateMouse(mainForm->hwnd);
        port::LoseInput();
        away.devices.back()->failOn = "Acquire";
        port::SetScriptedMouse(9, 9, true, false);
        away.input->GetMouseState();
        EXPECT_TRUE(away.input->mouseState.lX == 0 && !away.input->mouseState.rgbButtons[0]);
    }
    port::LoseInput();
    EXPECT_EQ(read({DIK_SPACE}, 40, true), std::make_tuple(false, true, 0, false));
    EXPECT_EQ(read({DIK_SPACE}, 3, true), std::make_tuple(false, false, 3, false));
    EXPECT_EQ(read({}, 0, false), std::make_tuple(false, false, 0, false));
    EXPECT_EQ(read({DIK_SPACE}, 5, true), std::make_tuple(true, false, 5, true));
    // The mouse's data format: lX, lY, lZ, four buttons; the wheel and the last two optional.
    ASSERT_TRUE(c_dfDIMouse.dwDataSize == sizeof(DIMOUSESTATE) && c_dfDIMouse.dwNumObjs == 7 &&
                c_dfDIMouse.dwFlags == DIDF_RELAXIS);
    const GUID* axes[3] = {&GUID_XAxis, &GUID_YAxis, &GUID_ZAxis};
    for (size_t i = 0; i < 7; i++)
    {
        const DIOBJECTDATAFORMAT& o = c_dfDIMouse.rgodf[i];
        size_t at = i < 3 ? offsetof(DIMOUSESTATE, lX) + i * sizeof(LONG)
                          : offsetof(DIMOUSESTATE, rgbButtons) + i - 3;
        EXPECT_TRUE(o.pguid == (i < 3 ? axes[i] : nullptr) && o.dwOfs == at && o.dwFlags == 0 &&
                    (o.dwType & (i < 3 ? DIDFT_AXIS : DIDFT_BUTTON)) &&
                    ((o.dwType & DIDFT_OPTIONAL) != 0) == (i == 2 || i >= 5))
            << i;
    }
}

TEST(Form, NewOnesHaveNoWindowTheirClassGoesWithThemAndFailuresThrowTheirMessages)
{
    port::SetHeadless(true);
    // Whatever its memory held, a new form has no window yet.
    alignas(TForm) unsigned char memory[sizeof(TForm)];
    for (volatile unsigned char& b : memory) // volatile: kept before the constructor runs
        b = 1;
    TForm& gone = *new (memory) TForm(DefWindowProcA, nullptr);
    EXPECT_FALSE(gone.created);
    int number = -1;
    std::sscanf(gone.className, "TForm%d", &number);
    WNDCLASSEXA squatter = gone.windowClass;
    gone.~TForm();
    // Its class went with it; then the next form's name is taken, so its registration fails.
    const std::string taken[2] = {"TForm" + std::to_string(number),
                                  "TForm" + std::to_string(number + 1)};
    for (const std::string& name : taken)
    {
        squatter.lpszClassName = name.c_str();
        EXPECT_NE(RegisterClassExA(&squatter), 0) << name;
    }
    EXPECT_EQ(Failure<_TFormException>([] { TForm failing(DefWindowProcA, nullptr); }),
              Said(1, "Failed to register window class."));
    TForm form(DefWindowProcA, nullptr);
    EXPECT_EQ(form.className, "TForm" + std::to_string(number + 2))
        << "the failed one's number spent";
    UnregisterClassA(form.className, nullptr); // no class, no window
    EXPECT_EQ(Failure<_TFormException>([&] { form.Create(nullptr, "Gloamfield", 640, 480, 1); }),
              Said(1, "TForm::Create() - Failed to create window. Gloamfield (0)"));
}
