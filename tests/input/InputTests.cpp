// The input snapshot over the port's scripted DirectInput: presses, the mouse, and every
// failure with its message and its releases.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Shell/Main.h"
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
    const struct
    {
        float scale;
        int32_t dx, dy, lX, lY, x, y;
    } reads[] = {{0, 10, 20, 10, 20, 10, 20},
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
