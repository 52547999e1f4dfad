// The mouse and keyboard snapshot over scripted DirectInput devices: the order and
// arguments of the set-up calls, every failure message, scaling, clamping and presses.
#include "Gedx/DXException.h"
#include "input/DXInput.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const HRESULT failure = DIERR_INPUTLOST;

class FakeDevice : public IDirectInputDevice8A
{
  public:
    std::vector<std::string> calls;
    std::string failOn; // the method that fails, if any
    const GUID* property = nullptr;
    DIPROPDWORD propertyValue{};
    const DIDATAFORMAT* format = nullptr;
    HWND window = nullptr;
    DWORD cooperativeFlags = 0;
    std::vector<DIMOUSESTATE> mouseReads; // handed out in order
    std::vector<std::vector<BYTE>> keyReads;
    int released = 0;

    ULONG AddRef() override { return 1; }
    ULONG Release() override
    {
        calls.push_back("Release");
        released++;
        return 0;
    }
    HRESULT SetProperty(REFGUID guid, LPCDIPROPHEADER header) override
    {
        property = &guid;
        std::memcpy(&propertyValue, header, sizeof propertyValue);
        return Step("SetProperty");
    }
    HRESULT Acquire() override { return Step("Acquire"); }
    HRESULT Unacquire() override { return Step("Unacquire"); }
    HRESULT GetDeviceState(DWORD size, LPVOID data) override
    {
        HRESULT hr = Step("GetDeviceState");
        if (FAILED(hr))
            return hr;
        if (size == sizeof(DIMOUSESTATE))
        {
            std::memcpy(data, &mouseReads.front(), size);
            mouseReads.erase(mouseReads.begin());
        }
        else
        {
            std::memcpy(data, keyReads.front().data(), size);
            keyReads.erase(keyReads.begin());
        }
        return DI_OK;
    }
    HRESULT SetDataFormat(LPCDIDATAFORMAT f) override
    {
        format = f;
        return Step("SetDataFormat");
    }
    HRESULT SetCooperativeLevel(HWND w, DWORD flags) override
    {
        window = w;
        cooperativeFlags = flags;
        return Step("SetCooperativeLevel");
    }

  private:
    HRESULT Step(const char* name)
    {
        calls.push_back(name);
        return failOn == name ? failure : DI_OK;
    }
};

class FakeDirectInput : public IDirectInput8A
{
  public:
    FakeDevice mouse, keyboard;
    bool failCreate = false;
    int released = 0;

    ULONG AddRef() override { return 1; }
    ULONG Release() override
    {
        released++;
        return 0;
    }
    HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override
    {
        EXPECT_EQ(outer, nullptr);
        if (failCreate)
            return failure;
        if (IsEqualGUID(guid, GUID_SysMouse))
            *device = &mouse;
        else if (IsEqualGUID(guid, GUID_SysKeyboard))
            *device = &keyboard;
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }
};

HWND TestWindow()
{
    return reinterpret_cast<HWND>(uintptr_t(0x1234));
}

DIMOUSESTATE Mouse(LONG x, LONG y, BYTE left = 0, BYTE right = 0)
{
    DIMOUSESTATE s{};
    s.lX = x;
    s.lY = y;
    s.rgbButtons[0] = left;
    s.rgbButtons[1] = right;
    return s;
}

std::vector<BYTE> Keys(std::initializer_list<int> down)
{
    std::vector<BYTE> keys(256, 0);
    for (int k : down)
        keys[k] = 0x80;
    return keys;
}

// A snapshot bound to the fake DirectInput object; the fake owns the devices, so they
// are detached before the snapshot goes.
struct Input
{
    FakeDirectInput fake;
    DXInput input;
    Input() { input.directInput = &fake; }
    ~Input()
    {
        input.directInput = nullptr;
        input.mouseDevice = nullptr;
        input.keyboardDevice = nullptr;
    }
};

std::string FailureOf(void (*setUp)(Input&), const char* method)
{
    Input in;
    in.fake.mouse.failOn = method;
    in.fake.keyboard.failOn = method;
    try
    {
        setUp(in);
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, failure) << method;
        return e.message;
    }
    return "(no failure)";
}
} // namespace

// First in the file: the entry point, once found, is kept for the life of the process.
TEST(DXInput, MissingLibraryFailsAtConstructionNotAtLoading)
{
    port::SetHeadless(true);
    port::SetModuleAvailable("dinput8.dll", false);
    LoadDXLibraries(DXLIB_DINPUT8); // reports nothing
    try
    {
        DXInput input(GetModuleHandleA(nullptr));
        ADD_FAILURE() << "constructed without dinput8.dll";
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, 0);
        EXPECT_STREQ(e.message, "Invalid DirectInput library (dinput8.dll)");
    }
    port::SetModuleAvailable("dinput8.dll", true);
    LoadDXLibraries(DXLIB_DINPUT8);

    // A refused creation carries DirectInput's result.
    try
    {
        DXInput input(nullptr);
        ADD_FAILURE() << "constructed without an instance";
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, DIERR_INVALIDPARAM);
        EXPECT_STREQ(e.message, "Failed to create DirectInput object");
    }

    DXInput input(GetModuleHandleA(nullptr));
    EXPECT_NE(input.directInput, nullptr);
    EXPECT_EQ(input.mouseX, 0);
    EXPECT_FALSE(input.keysPrimed);
}

TEST(DXInput, MouseSetUpCallsInOrderWithTheirArguments)
{
    Input in;
    in.input.mouseX = 50;
    in.input.mouseScale = 3.0f;
    in.input.prevRightButton = true;
    in.input.CreateMouse(TestWindow());

    FakeDevice& mouse = in.fake.mouse;
    EXPECT_EQ(in.input.mouseDevice, &mouse);
    EXPECT_EQ(mouse.calls, (std::vector<std::string>{"SetDataFormat", "SetCooperativeLevel",
                                                     "SetProperty", "Acquire"}));
    EXPECT_EQ(mouse.format, &c_dfDIMouse);
    EXPECT_EQ(mouse.window, TestWindow());
    EXPECT_EQ(mouse.cooperativeFlags, 5u);
    EXPECT_EQ(mouse.property, &DIPROP_AXISMODE);
    EXPECT_EQ(mouse.propertyValue.diph.dwSize, 20u);
    EXPECT_EQ(mouse.propertyValue.diph.dwHeaderSize, 16u);
    EXPECT_EQ(mouse.propertyValue.diph.dwObj, 0u);
    EXPECT_EQ(mouse.propertyValue.diph.dwHow, DWORD(DIPH_DEVICE));
    EXPECT_EQ(mouse.propertyValue.dwData, DWORD(DIPROPAXISMODE_REL));
    // The position, scale and right button start afresh.
    EXPECT_EQ(in.input.mouseX, 0);
    EXPECT_EQ(in.input.mouseY, 0);
    EXPECT_EQ(in.input.mouseScale, 1.0f);
    EXPECT_FALSE(in.input.prevRightButton);
}

TEST(DXInput, KeyboardSetUpCallsInOrderAndClearsThePreviousKeys)
{
    Input in;
    in.input.prevKeys[DIK_W] = 0x80;
    in.input.keysPrimed = true;
    in.input.CreateKB(TestWindow());

    FakeDevice& keyboard = in.fake.keyboard;
    EXPECT_EQ(in.input.keyboardDevice, &keyboard);
    EXPECT_EQ(keyboard.calls,
              (std::vector<std::string>{"SetDataFormat", "SetCooperativeLevel", "Acquire"}));
    EXPECT_EQ(keyboard.format, &c_dfDIKeyboard);
    EXPECT_EQ(keyboard.window, TestWindow());
    EXPECT_EQ(keyboard.cooperativeFlags, 5u);
    EXPECT_FALSE(in.input.keysPrimed);
    EXPECT_EQ(in.input.prevKeys[DIK_W], 0);
}

TEST(DXInput, EveryFailingStepThrowsItsOwnMessageWithTheResult)
{
    auto mouse = [](Input& in) { in.input.CreateMouse(TestWindow()); };
    auto keyboard = [](Input& in) { in.input.CreateKB(TestWindow()); };
    for (const char* step : {"SetDataFormat", "SetCooperativeLevel", "SetProperty", "Acquire"})
        EXPECT_EQ(FailureOf(mouse, step),
                  std::string("DXInput::CreateMouse failed - ") + step + "() failed");
    for (const char* step : {"SetDataFormat", "SetCooperativeLevel", "Acquire"})
        EXPECT_EQ(FailureOf(keyboard, step),
                  std::string("DXInput::CreateKB failed - ") + step + "() failed");

    auto mouseRead = [](Input& in)
    {
        in.fake.mouse.failOn.clear();
        in.input.CreateMouse(TestWindow());
        in.fake.mouse.failOn = "GetDeviceState";
        in.input.GetMouseState();
    };
    auto keyRead = [](Input& in)
    {
        in.fake.keyboard.failOn.clear();
        in.input.CreateKB(TestWindow());
        in.fake.keyboard.failOn = "GetDeviceState";
        in.input.GetKBState();
    };
    EXPECT_EQ(FailureOf(mouseRead, "unused"),
              "DXInput::GetMouseState failed - GetDeviceState() failed");
    EXPECT_EQ(FailureOf(keyRead, "unused"), "DXInput::GetKBState failed - GetDeviceState() failed");

    for (auto setUp : {+mouse, +keyboard})
    {
        Input in;
        in.fake.failCreate = true;
        try
        {
            setUp(in);
            ADD_FAILURE() << "CreateDevice failure not reported";
        }
        catch (const DXException& e)
        {
            EXPECT_EQ(e.code, failure);
            EXPECT_TRUE(
                std::string(e.message) == "DXInput::CreateMouse failed - CreateDevice() failed" ||
                std::string(e.message) == "DXInput::CreateKB failed - CreateDevice() failed")
                << e.message;
        }
    }
}

TEST(DXInput, MouseMovementIsScaledTruncatedAndKeptAtZeroOrMore)
{
    Input in;
    in.input.CreateMouse(TestWindow());
    in.fake.mouse.mouseReads = {Mouse(10, 20), Mouse(-15, -5), Mouse(7, 3), Mouse(-3, 4)};

    in.input.GetMouseState();
    EXPECT_EQ(in.input.mouseX, 10);
    EXPECT_EQ(in.input.mouseY, 20);

    // The surplus below zero is lost: moving back counts from 0 at once.
    in.input.GetMouseState();
    EXPECT_EQ(in.input.mouseState.lX, -15);
    EXPECT_EQ(in.input.mouseX, 0);
    EXPECT_EQ(in.input.mouseY, 15);

    in.input.mouseScale = 0.3f;
    in.input.GetMouseState(); // 7 * 0.3 = 2.1 -> 2; 3 * 0.3 = 0.9 -> 0
    EXPECT_EQ(in.input.mouseState.lX, 2);
    EXPECT_EQ(in.input.mouseState.lY, 0);
    EXPECT_EQ(in.input.mouseX, 2);
    in.input.GetMouseState(); // -3 * 0.3 = -0.9 -> 0, toward zero
    EXPECT_EQ(in.input.mouseState.lX, 0);
    EXPECT_EQ(in.input.mouseState.lY, 1);
    EXPECT_EQ(in.input.mouseX, 2);

    // No upper bound here: the caller clamps.
    in.input.SetMousePos(5000, -7);
    EXPECT_EQ(in.input.mouseX, 5000);
    EXPECT_EQ(in.input.mouseY, -7);
}

TEST(DXInput, RightButtonOfThePreviousReadIsKept)
{
    Input in;
    in.input.CreateMouse(TestWindow());
    in.fake.mouse.mouseReads = {Mouse(0, 0, 0, 0x80), Mouse(0, 0, 0, 0x80), Mouse(0, 0, 0, 0)};
    in.input.GetMouseState();
    EXPECT_FALSE(in.input.prevRightButton); // pressed on this read
    in.input.GetMouseState();
    EXPECT_TRUE(in.input.prevRightButton); // held
    in.input.GetMouseState();
    EXPECT_TRUE(in.input.prevRightButton);
    EXPECT_EQ(in.input.mouseState.rgbButtons[1], 0);

    // A failed read has already moved the button, not the position.
    in.input.mouseX = 9;
    in.fake.mouse.failOn = "GetDeviceState";
    EXPECT_THROW(in.input.GetMouseState(), DXException);
    EXPECT_FALSE(in.input.prevRightButton);
    EXPECT_EQ(in.input.mouseX, 9);
}

TEST(DXInput, KeyHeldAtStartCountsAsPressedOnTheFirstFrameOnly)
{
    Input in;
    in.input.CreateKB(TestWindow());
    in.fake.keyboard.keyReads = {Keys({DIK_SPACE}), Keys({DIK_SPACE, DIK_W}), Keys({DIK_W})};

    in.input.GetKBState();
    EXPECT_TRUE(in.input.keysPrimed);
    EXPECT_TRUE(in.input.keys[DIK_SPACE] && !in.input.prevKeys[DIK_SPACE]);

    in.input.GetKBState();
    EXPECT_TRUE(in.input.keys[DIK_SPACE] && in.input.prevKeys[DIK_SPACE]);
    EXPECT_TRUE(in.input.keys[DIK_W] && !in.input.prevKeys[DIK_W]);

    in.input.GetKBState();
    EXPECT_FALSE(in.input.keys[DIK_SPACE]);
    EXPECT_TRUE(in.input.prevKeys[DIK_SPACE]);

    // A failed read has already moved the keys into prevKeys.
    in.fake.keyboard.failOn = "GetDeviceState";
    EXPECT_THROW(in.input.GetKBState(), DXException);
    EXPECT_TRUE(in.input.prevKeys[DIK_W]);
    EXPECT_FALSE(in.input.prevKeys[DIK_SPACE]);
}

TEST(DXInput, DestructionReleasesDevicesAndThenTheObject)
{
    FakeDirectInput fake;
    {
        DXInput input;
        input.directInput = &fake;
        input.CreateMouse(TestWindow());
        input.CreateKB(TestWindow());
    }
    EXPECT_EQ(fake.mouse.released, 1);
    EXPECT_EQ(fake.keyboard.released, 1);
    EXPECT_EQ(fake.released, 1);
    EXPECT_EQ(fake.mouse.calls.back(), "Release");
}

TEST(DXInputDataFormats, MatchTheSnapshotLayout)
{
    // Mouse: relative axes at lX, lY, lZ; four buttons at rgbButtons.
    EXPECT_EQ(c_dfDIMouse.dwSize, sizeof(DIDATAFORMAT));
    EXPECT_EQ(c_dfDIMouse.dwObjSize, sizeof(DIOBJECTDATAFORMAT));
    EXPECT_EQ(c_dfDIMouse.dwFlags, DWORD(DIDF_RELAXIS));
    EXPECT_EQ(c_dfDIMouse.dwDataSize, 16u);
    ASSERT_EQ(c_dfDIMouse.dwNumObjs, 7u);
    const GUID* axes[3] = {&GUID_XAxis, &GUID_YAxis, &GUID_ZAxis};
    for (int i = 0; i < 7; i++)
    {
        const DIOBJECTDATAFORMAT& o = c_dfDIMouse.rgodf[i];
        if (i < 3)
        {
            EXPECT_EQ(o.pguid, axes[i]);
            EXPECT_EQ(o.dwOfs, DWORD(4 * i));
            EXPECT_EQ(o.dwType & DIDFT_AXIS, DWORD(DIDFT_AXIS));
        }
        else
        {
            EXPECT_EQ(o.pguid, nullptr);
            EXPECT_EQ(o.dwOfs, DWORD(offsetof(DIMOUSESTATE, rgbButtons) + i - 3));
            EXPECT_EQ(o.dwType & DIDFT_BUTTON, DWORD(DIDFT_BUTTON));
        }
        // The wheel and buttons 2 and 3 may be missing on a mouse.
        EXPECT_EQ((o.dwType & DIDFT_OPTIONAL) != 0, i == 2 || i >= 5) << i;
    }
    // Keyboard: one optional button per key code at its own byte, any key's instance.
    EXPECT_EQ(c_dfDIKeyboard.dwDataSize, 256u);
    ASSERT_EQ(c_dfDIKeyboard.dwNumObjs, 256u);
    for (DWORD i = 0; i < 256; i++)
    {
        const DIOBJECTDATAFORMAT& o = c_dfDIKeyboard.rgodf[i];
        EXPECT_EQ(o.pguid, &GUID_Key);
        EXPECT_EQ(o.dwOfs, i);
        EXPECT_EQ(o.dwType, DWORD(DIDFT_BUTTON | DIDFT_OPTIONAL | (i << 8)));
    }
    // The published identifiers the devices are asked for.
    EXPECT_EQ(GUID_SysMouse.Data1, 0x6F1D2B60u);
    EXPECT_EQ(GUID_SysKeyboard.Data1, 0x6F1D2B61u);
    EXPECT_EQ(IID_IDirectInput8A.Data1, 0xBF798030u);
    EXPECT_FALSE(IsEqualGUID(GUID_SysMouse, GUID_SysKeyboard));
}
