#include "input/DXInput.h"
#include "Gedx/DXException.h"
#include "input/Libraries.h"

#include <cstring>

namespace
{
typedef HRESULT(WINAPI* DirectInput8CreateFunction)(HINSTANCE instance, DWORD version, REFIID riid,
                                                    LPVOID* out, LPUNKNOWN outer);

// Looked up once, on the first construction, and kept.
DirectInput8CreateFunction directInput8Create = nullptr;

const DWORD GAME_DIRECTINPUT_VERSION = 0x0800;
const DWORD EXCLUSIVE_FOREGROUND = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
} // namespace

DXInput::DXInput()
    : directInput(nullptr), mouseDevice(nullptr), keyboardDevice(nullptr), mouseX(0), mouseY(0),
      mouseScale(1.0f), prevRightButton(false), keysPrimed(false)
{
    std::memset(&mouseState, 0, sizeof mouseState);
    std::memset(keys, 0, sizeof keys);
    std::memset(prevKeys, 0, sizeof prevKeys);
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
    HRESULT hr = mouseDevice->GetDeviceState(sizeof(DIMOUSESTATE), &mouseState);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::GetMouseState failed - GetDeviceState() failed");

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
    HRESULT hr = keyboardDevice->GetDeviceState(sizeof keys, keys);
    if (FAILED(hr))
        throw DXException(hr, "DXInput::GetKBState failed - GetDeviceState() failed");
}
