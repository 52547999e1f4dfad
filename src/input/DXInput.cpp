#include "input/DXInput.h"
#include "Gedx/DXException.h"
#include "input/Libraries.h"

#include <cstring>

namespace
{
// One read of a device. A device taken away (another window had the foreground) is taken
// back and read again; `returning` notes that it came back.
HRESULT ReadDevice(IDirectInputDevice8A* device, DWORD size, void* data, bool& returning)
{
    HRESULT hr = device->GetDeviceState(size, data);
    if (hr != DIERR_INPUTLOST && hr != DIERR_NOTACQUIRED)
        return hr;
    returning = true;
    if (FAILED(device->Acquire()))
        return hr;
    return device->GetDeviceState(size, data);
}

typedef HRESULT(WINAPI* DirectInput8CreateFunction)(HINSTANCE instance, DWORD version, REFIID riid,
                                                    LPVOID* out, LPUNKNOWN outer);

// Looked up once, on the first construction, and kept.
DirectInput8CreateFunction directInput8Create = nullptr;

const DWORD GAME_DIRECTINPUT_VERSION = 0x0800;
const DWORD EXCLUSIVE_FOREGROUND = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
} // namespace

DXInput::DXInput()
    : directInput(nullptr), mouseDevice(nullptr), keyboardDevice(nullptr), mouseX(0), mouseY(0),
      mouseScale(1.0f), prevRightButton(false), keysPrimed(false), mouseReturning(false),
      keyboardReturning(false)
{
    std::memset(&mouseState, 0, sizeof mouseState);
    std::memset(keys, 0, sizeof keys);
    std::memset(prevKeys, 0, sizeof prevKeys);
    std::memset(heldOnReturn, 0, sizeof heldOnReturn);
    std::memset(buttonsHeldOnReturn, 0, sizeof buttonsHeldOnReturn);
}

DXInput::DXInput(HINSTANCE instance) : DXInput()
{
    if (directInput8Create == nullptr)
    {
        // A library that never loaded has no entry point either.
        FARPROC proc =
            dinput8Library ? GetProcAddress(dinput8Library, "DirectInput8Create") : nullptr;
        if (proc == nullptr)
            throw DXException(0, "Invalid DirectInput library (dinput8.dll)");
        directInput8Create =
            reinterpret_cast<DirectInput8CreateFunction>(reinterpret_cast<void*>(proc));
    }
    HRESULT hr = directInput8Create(instance, GAME_DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                    reinterpret_cast<LPVOID*>(&directInput), nullptr);
    if (FAILED(hr))
    {
        directInput = nullptr; // nothing to release for a failed creation
        throw DXException(hr, "Failed to create DirectInput object");
    }
}

DXInput::~DXInput()
{
    // The devices go before the object that made them.
    if (mouseDevice)
    {
        mouseDevice->Unacquire();
        mouseDevice->Release();
    }
    if (keyboardDevice)
    {
        keyboardDevice->Unacquire();
        keyboardDevice->Release();
    }
    if (directInput)
        directInput->Release();
}

void DXInput::CreateMouse(HWND window)
{
    HRESULT hr = directInput->CreateDevice(GUID_SysMouse, &mouseDevice, nullptr);
    if (FAILED(hr))
    {
        mouseDevice = nullptr;
        throw DXException(hr, "DXInput::CreateMouse failed - CreateDevice() failed");
    }
    hr = mouseDevice->SetDataFormat(&c_dfDIMouse);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateMouse failed - SetDataFormat() failed");
    hr = mouseDevice->SetCooperativeLevel(window, EXCLUSIVE_FOREGROUND);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateMouse failed - SetCooperativeLevel() failed");

    // Relative axes: each read gives the movement since the one before.
    DIPROPDWORD axisMode;
    axisMode.diph.dwSize = sizeof(DIPROPDWORD);
    axisMode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    axisMode.diph.dwObj = 0;
    axisMode.diph.dwHow = DIPH_DEVICE;
    axisMode.dwData = DIPROPAXISMODE_REL;
    hr = mouseDevice->SetProperty(DIPROP_AXISMODE, &axisMode.diph);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateMouse failed - SetProperty() failed");
    hr = mouseDevice->Acquire();
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateMouse failed - Acquire() failed");

    mouseX = 0;
    mouseY = 0;
    mouseScale = 1.0f;
    prevRightButton = false;
}

void DXInput::GetMouseState()
{
    // Kept before the read overwrites it, so a press is a change between two frames.
    prevRightButton = mouseState.rgbButtons[1] != 0;
    HRESULT hr = ReadDevice(mouseDevice, sizeof(DIMOUSESTATE), &mouseState, mouseReturning);
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED)
    {
        // Still away: an empty snapshot for this frame, and another try next frame.
        std::memset(&mouseState, 0, sizeof mouseState);
        return;
    }
    if (FAILED(hr))
        throw DXException(hr, "DXInput::GetMouseState failed - GetDeviceState() failed");
    if (mouseReturning)
    {
        // Whatever the mouse did while the game was away is not the player's doing here.
        mouseReturning = false;
        mouseState.lX = mouseState.lY = mouseState.lZ = 0;
        std::memcpy(buttonsHeldOnReturn, mouseState.rgbButtons, sizeof buttonsHeldOnReturn);
    }
    for (int b = 0; b < 4; b++)
        if (buttonsHeldOnReturn[b] && mouseState.rgbButtons[b])
            mouseState.rgbButtons[b] = 0;
        else
            buttonsHeldOnReturn[b] = 0;

    mouseState.lX = LONG(double(mouseState.lX) * double(mouseScale));
    mouseState.lY = LONG(double(mouseState.lY) * double(mouseScale));
    mouseX += mouseState.lX;
    mouseY += mouseState.lY;
    if (mouseX < 0)
        mouseX = 0;
    if (mouseY < 0)
        mouseY = 0;
}

void DXInput::SetMousePos(int32_t x, int32_t y)
{
    mouseX = x;
    mouseY = y;
}

void DXInput::CreateKB(HWND window)
{
    HRESULT hr = directInput->CreateDevice(GUID_SysKeyboard, &keyboardDevice, nullptr);
    if (FAILED(hr))
    {
        keyboardDevice = nullptr;
        throw DXException(hr, "DXInput::CreateKB failed - CreateDevice() failed");
    }
    hr = keyboardDevice->SetDataFormat(&c_dfDIKeyboard);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateKB failed - SetDataFormat() failed");
    hr = keyboardDevice->SetCooperativeLevel(window, EXCLUSIVE_FOREGROUND);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateKB failed - SetCooperativeLevel() failed");
    hr = keyboardDevice->Acquire();
    if (FAILED(hr))
        throw DXException(hr, "DXInput::CreateKB failed - Acquire() failed");

    keysPrimed = false;
    std::memset(prevKeys, 0, sizeof prevKeys);
}

void DXInput::GetKBState()
{
    // The first read has no earlier state to keep: a key already held counts as pressed.
    if (keysPrimed)
        std::memcpy(prevKeys, keys, sizeof keys);
    else
        keysPrimed = true;
    HRESULT hr = ReadDevice(keyboardDevice, sizeof keys, keys, keyboardReturning);
    if (hr == DIERR_INPUTLOST || hr == DIERR_NOTACQUIRED)
    {
        std::memset(keys, 0, sizeof keys);
        return;
    }
    if (FAILED(hr))
        throw DXException(hr, "DXInput::GetKBState failed - GetDeviceState() failed");
    if (keyboardReturning)
    {
        keyboardReturning = false;
        std::memcpy(heldOnReturn, keys, sizeof heldOnReturn);
    }
    for (int k = 0; k < 256; k++)
        if (heldOnReturn[k] && keys[k])
            keys[k] = 0;
        else
            heldOnReturn[k] = 0;
}

void DXInput::Suspend()
{
    if (mouseDevice)
        mouseDevice->Unacquire();
    if (keyboardDevice)
        keyboardDevice->Unacquire();
    mouseReturning = keyboardReturning = true;
}
