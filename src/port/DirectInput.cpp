// The built-in "dinput8.dll": the system mouse and keyboard as immediate state. Headless
// runs read the scripted state tests set; on a display the state comes from SDL.
#include "port/DInput.h"
#include "port/Port.h"
#include "port/PortInternal.h"
#include "port/RefCounted.h"

#include <cstring>

extern "C" const GUID PORT_DIPROP_AXISMODE = {
    0x9A1C2F10, 0x6B2E, 0x4C0D, {0x8E, 0x31, 0x50, 0x4F, 0x52, 0x54, 0x41, 0x58}};

namespace
{
// The identifiers as the SDK publishes them; the game carries its own copies, so they are
// compared by value.
const GUID SYS_MOUSE = {
    0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID SYS_KEYBOARD = {
    0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID IID_DIRECTINPUT8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};

const HRESULT OLD_VERSION = HRESULT(0x8007047E);  // DIERR_OLDDIRECTINPUTVERSION
const HRESULT BETA_VERSION = HRESULT(0x80070481); // DIERR_BETADIRECTINPUTVERSION

unsigned Losses()
{
    const port::internal::HeadlessRun* run = port::internal::headlessRun;
    return run ? run->inputLosses() : port::internal::DisplayFocusLosses();
}

// Mouse motion since the last call, and the buttons.
void TakeMouse(LONG* dx, LONG* dy, BYTE buttons[4])
{
    if (const port::internal::HeadlessRun* run = port::internal::headlessRun)
        run->takeMouse(dx, dy, buttons);
    else
        port::internal::DisplayTakeMouse(dx, dy, buttons);
}

class Device : public port::RefCounted<IDirectInputDevice8A>
{
  public:
    explicit Device(bool mouse) : mouse(mouse) {}

    HRESULT SetProperty(REFGUID property, LPCDIPROPHEADER header) override
    {
        if (header == nullptr || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        if (&property != &PORT_DIPROP_AXISMODE && !IsEqualGUID(property, PORT_DIPROP_AXISMODE))
            return DIERR_UNSUPPORTED;
        if (!mouse)
            return DIERR_UNSUPPORTED; // a keyboard has no axes
        if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE ||
            header->dwObj != 0)
            return DIERR_INVALIDPARAM;
        if (acquired)
            return DIERR_ACQUIRED;
        DWORD mode = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        if (mode != DIPROPAXISMODE_ABS && mode != DIPROPAXISMODE_REL)
            return DIERR_INVALIDPARAM;
        relative = mode == DIPROPAXISMODE_REL;
        return DI_OK;
    }

    HRESULT Acquire() override
    {
        if (dataSize == 0)
            return DIERR_INVALIDPARAM; // no data format yet
        if (acquired)
            return S_FALSE;
        if (!port::IsHeadless() && (cooperation & DISCL_FOREGROUND))
        {
            // The foreground window is the one shown on the display; a hidden or missing
            // one cannot take the devices.
            port::internal::WindowRecord* record = port::internal::FindWindowRecord(window);
            if (record == nullptr || !record->visible)
                return DIERR_OTHERAPPHASPRIO;
        }
        acquired = true;
        lossMark = Losses();
        if (mouse)
        {
            absoluteX = absoluteY = 0;
            LONG dx, dy; // motion from before the device was acquired does not count
            BYTE buttons[4];
            TakeMouse(&dx, &dy, buttons);
            if (!port::IsHeadless() && (cooperation & DISCL_EXCLUSIVE))
                port::internal::DisplaySetRelativeMouse(true);
        }
        return DI_OK;
    }

    HRESULT Unacquire() override
    {
        if (!acquired)
            return S_FALSE;
        acquired = false;
        if (mouse && !port::IsHeadless() && (cooperation & DISCL_EXCLUSIVE))
            port::internal::DisplaySetRelativeMouse(false);
        return DI_OK;
    }

    HRESULT GetDeviceState(DWORD size, LPVOID data) override
    {
        if (data == nullptr || size != dataSize || dataSize == 0)
            return DIERR_INVALIDPARAM;
        if (!acquired)
            return DIERR_NOTACQUIRED;
        // A foreground device is taken away when its window loses the foreground, and
        // stays unacquired until acquired again.
        if ((cooperation & DISCL_FOREGROUND) && Losses() != lossMark)
        {
            Unacquire();
            return DIERR_INPUTLOST;
        }
        std::memset(data, 0, size);
        if (mouse)
            ReadMouse(static_cast<BYTE*>(data));
        else
            ReadKeyboard(static_cast<BYTE*>(data));
        return DI_OK;
    }

    HRESULT SetDataFormat(LPCDIDATAFORMAT format) override
    {
        if (format == nullptr || format->dwSize != sizeof(DIDATAFORMAT) ||
            format->dwObjSize != sizeof(DIOBJECTDATAFORMAT))
            return DIERR_INVALIDPARAM;
        if (acquired)
            return DIERR_ACQUIRED;
        // The standard formats: DIMOUSESTATE (or DIMOUSESTATE2) and 256 key bytes.
        bool fits = mouse ? (format->dwDataSize == 16 || format->dwDataSize == 20)
                          : format->dwDataSize == 256;
        if (!fits)
            return DIERR_INVALIDPARAM;
        dataSize = format->dwDataSize;
        if (mouse)
            relative = (format->dwFlags & DIDF_ABSAXIS) == 0;
        return DI_OK;
    }

    HRESULT SetCooperativeLevel(HWND newWindow, DWORD flags) override
    {
        DWORD access = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
        DWORD ground = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
        if (access == 0 || access == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) || ground == 0 ||
            ground == (DISCL_FOREGROUND | DISCL_BACKGROUND))
            return DIERR_INVALIDPARAM;
        if (!mouse && access == DISCL_EXCLUSIVE && ground == DISCL_BACKGROUND)
            return DIERR_UNSUPPORTED;
        if (acquired)
            return DIERR_ACQUIRED;
        if ((flags & (DISCL_FOREGROUND | DISCL_EXCLUSIVE)) &&
            port::internal::FindWindowRecord(newWindow) == nullptr)
            return E_HANDLE;
        window = newWindow;
        cooperation = flags;
        return DI_OK;
    }

  private:
    ~Device() override = default;

    ULONG LastReference() override
    {
        Unacquire();
        delete this;
        return 0;
    }

    void ReadMouse(BYTE* data)
    {
        DIMOUSESTATE state{};
        LONG dx, dy;
        BYTE buttons[4];
        TakeMouse(&dx, &dy, buttons);
        absoluteX += dx;
        absoluteY += dy;
        state.lX = relative ? dx : absoluteX;
        state.lY = relative ? dy : absoluteY;
        for (int i = 0; i < 4; i++)
            state.rgbButtons[i] = buttons[i] ? 0x80 : 0;
        std::memcpy(data, &state, sizeof state);
    }

    void ReadKeyboard(BYTE* data)
    {
        BYTE keys[256];
        if (const port::internal::HeadlessRun* run = port::internal::headlessRun)
            run->keyboardState(keys);
        else
            port::internal::DisplayKeyboardState(keys);
        for (int i = 0; i < 256; i++)
            data[i] = keys[i] ? 0x80 : 0;
    }

    bool mouse;
    DWORD dataSize = 0;
    DWORD cooperation = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    HWND window = nullptr;
    bool acquired = false;
    bool relative = true;
    unsigned lossMark = 0;
    LONG absoluteX = 0, absoluteY = 0;
};

class DirectInput : public port::RefCounted<IDirectInput8A>
{
  public:
    HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) override
    {
        if (device == nullptr || outer != nullptr)
            return DIERR_INVALIDPARAM;
        *device = nullptr;
        if (IsEqualGUID(guid, SYS_MOUSE))
            *device = new Device(true);
        else if (IsEqualGUID(guid, SYS_KEYBOARD))
            *device = new Device(false);
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }

  private:
    ~DirectInput() override = default;
};
} // namespace

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out,
                                  LPUNKNOWN outer)
{
    if (out == nullptr)
        return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (instance == nullptr)
        return DIERR_INVALIDPARAM;
    if (version < 0x0800)
        return OLD_VERSION;
    if (version > 0x0800)
        return BETA_VERSION;
    if (outer != nullptr)
        return DIERR_INVALIDPARAM;
    if (!IsEqualGUID(riid, IID_DIRECTINPUT8A))
        return DIERR_NOINTERFACE;
    *out = static_cast<IDirectInput8A*>(new DirectInput());
    return DI_OK;
}
