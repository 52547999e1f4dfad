// Windows, messages and DirectInput of headless runs.
#include "port/DInput.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<UINT> received;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(message);
    if (message == WM_CLOSE)
    {
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

WNDCLASSEXA Class(const char* name)
{
    WNDCLASSEXA c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = Recorder;
    c.lpszClassName = name;
    return c;
}

class HeadlessWindows : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        port::SetHeadless(true);
        received.clear();
        WNDCLASSEXA c = Class("PortTest");
        ASSERT_NE(RegisterClassExA(&c), 0);
        window = CreateWindowExA(0, "PortTest", "Gloamfield", WS_POPUP | WS_SYSMENU, CW_USEDEFAULT,
                                 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        UnregisterClassA("PortTest", nullptr);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        {
        }
    }
    HWND window = nullptr;
};

TEST_F(HeadlessWindows, ClassesAndWindowsFollowWin32Rules)
{
    WNDCLASSEXA again = Class("porttest"); // class names ignore case
    EXPECT_EQ(RegisterClassExA(&again), 0);
    EXPECT_EQ(
        CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_FALSE(UnregisterClassA("PortTest", nullptr)); // a window of it is open
    EXPECT_EQ(received.front(), UINT(WM_CREATE));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL)); // was hidden
    EXPECT_TRUE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(MoveWindow(window, 192, 144, 640, 480, FALSE));
    EXPECT_FALSE(MoveWindow(nullptr, 0, 0, 1, 1, FALSE));
    EXPECT_FALSE(DestroyWindow(nullptr));

    int before = ShowCursor(FALSE);
    EXPECT_EQ(ShowCursor(TRUE), before + 1);
}

TEST_F(HeadlessWindows, CloseRequestReachesTheProcedureAndQuitComesLast)
{
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE)); // never blocks
    port::PostWindowMessage(window, WM_CLOSE);
    port::PostWindowMessage(window, WM_PAINT);
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CLOSE));
    DispatchMessageA(&msg);
    EXPECT_EQ(received.back(), UINT(WM_CLOSE));
    // The quit waits for the messages posted before it, and comes whatever window the
    // loop asks for.
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
}

TEST_F(HeadlessWindows, DestroyingAWindowDropsItsMessages)
{
    port::PostWindowMessage(window, WM_PAINT);
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(received.back(), UINT(WM_DESTROY));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(UnregisterClassA("PortTest", nullptr));
    window = nullptr;
}

TEST_F(HeadlessWindows, PrintScreenIsRecorded)
{
    port::ClearKeyEvents();
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    ASSERT_EQ(port::KeyEvents().size(), 1u);
    EXPECT_EQ(port::KeyEvents()[0].virtualKey, VK_SNAPSHOT);
    EXPECT_EQ(port::KeyEvents()[0].flags, 0u);
}

// --- DirectInput ---------------------------------------------------------------------

const GUID SYS_MOUSE = {
    0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID SYS_KEYBOARD = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID iid8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const DIDATAFORMAT mouseFormat = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 16, 0, nullptr};
const DIDATAFORMAT keyboardFormat = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), 0, 256, 0, nullptr};

class ScriptedInput : public HeadlessWindows
{
  protected:
    void SetUp() override
    {
        HeadlessWindows::SetUp();
        port::ClearScriptedInput();
        void* out = nullptr;
        ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), 0x0800, iid8A, &out, nullptr),
                  DI_OK);
        input = static_cast<IDirectInput8A*>(out);
    }
    void TearDown() override
    {
        if (mouse)
            mouse->Release();
        if (keyboard)
            keyboard->Release();
        input->Release();
        HeadlessWindows::TearDown();
    }
    void MakeDevices()
    {
        ASSERT_EQ(input->CreateDevice(SYS_MOUSE, &mouse, nullptr), DI_OK);
        ASSERT_EQ(mouse->SetDataFormat(&mouseFormat), DI_OK);
        ASSERT_EQ(mouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        DIPROPDWORD axis{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE},
                         DIPROPAXISMODE_REL};
        ASSERT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &axis.diph), DI_OK);
        ASSERT_EQ(mouse->Acquire(), DI_OK);
        ASSERT_EQ(input->CreateDevice(SYS_KEYBOARD, &keyboard, nullptr), DI_OK);
        ASSERT_EQ(keyboard->SetDataFormat(&keyboardFormat), DI_OK);
        ASSERT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        ASSERT_EQ(keyboard->Acquire(), DI_OK);
    }
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
};

TEST_F(ScriptedInput, DevicesReadTheScriptedState)
{
    MakeDevices();
    port::SetScriptedKey(DIK_W, true);
    port::SetScriptedKey(DIK_4, true);
    port::SetScriptedMouse(5, -3, false, true);
    port::SetScriptedMouse(2, 0, true, true); // motion adds up until read

    BYTE keys[256];
    ASSERT_EQ(keyboard->GetDeviceState(256, keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0x80);
    EXPECT_EQ(keys[DIK_4], 0x80);
    EXPECT_EQ(keys[DIK_S], 0);

    DIMOUSESTATE state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -3);
    EXPECT_EQ(state.rgbButtons[0], 0x80);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0); // relative: the motion was taken by the first read
    EXPECT_EQ(state.lY, 0);

    EXPECT_EQ(mouse->GetDeviceState(20, &state), DIERR_INVALIDPARAM); // not the format's size
}

TEST_F(ScriptedInput, LostDevicesFailAsDirectInputDoes)
{
    MakeDevices();
    port::LoseInput();
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    DIMOUSESTATE state;
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    // Acquiring again brings them back.
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DI_OK);
}

TEST_F(ScriptedInput, SetUpMistakesAreRefused)
{
    void* out = nullptr;
    EXPECT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), 0x0700, iid8A, &out, nullptr),
              HRESULT(0x8007047E));
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, iid8A, &out, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), 0x0800, SYS_MOUSE, &out, nullptr),
              DIERR_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    ASSERT_EQ(input->CreateDevice(SYS_KEYBOARD, &keyboard, nullptr), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&mouseFormat), DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard->SetDataFormat(&keyboardFormat), DI_OK);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_BACKGROUND),
              DIERR_UNSUPPORTED);
    EXPECT_EQ(keyboard->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE |
                                                        DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_EXCLUSIVE | DISCL_FOREGROUND), E_HANDLE);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    IDirectInputDevice8A* other = nullptr;
    EXPECT_EQ(input->CreateDevice(iid8A, &other, nullptr), DIERR_DEVICENOTREG);
}
} // namespace
