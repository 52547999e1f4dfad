// The system mouse and keyboard through DirectInput 8, as one snapshot refreshed once a
// frame; presses are found by comparing it with the previous frame's.
#pragma once

#include "Platform.h"

#include <cstdint>

// Flags of LoadDXLibraries.
const int32_t DXLIB_D3D9 = 1;
const int32_t DXLIB_DDRAW = 2;
const int32_t DXLIB_DINPUT8 = 4;
// XInput, for a gamepad: xinput1_4.dll, else xinput9_1_0.dll. Without either the game has
// no gamepad, and that is all.
const int32_t DXLIB_XINPUT = 8;

// Loads each selected library; a failure shows later, when the library is used.
void LoadDXLibraries(int32_t flags);

class DXInput
{
  public:
    IDirectInput8A* directInput;
    IDirectInputDevice8A* mouseDevice;
    IDirectInputDevice8A* keyboardDevice;
    DIMOUSESTATE mouseState;
    int32_t mouseX;
    int32_t mouseY;
    float mouseScale;
    bool prevRightButton;
    BYTE keys[256];
    BYTE prevKeys[256];
    bool keysPrimed;
    // Keys and mouse buttons that were down when the devices came back from being away:
    // they read as up until let go, so nothing pressed elsewhere counts as pressed here.
    BYTE heldOnReturn[256];
    BYTE buttonsHeldOnReturn[4];
    bool mouseReturning, keyboardReturning;

    // Every state field starts zero. Tests use this one to set the snapshot by hand.
    DXInput();
    explicit DXInput(HINSTANCE instance);
    ~DXInput();

    void CreateMouse(HWND window);
    void GetMouseState();
    void SetMousePos(int32_t x, int32_t y);
    void CreateKB(HWND window);
    void GetKBState();
    // Lets both devices go, the mouse back to the desktop, while the game is away from the
    // foreground. The next reads take them again.
    void Suspend();
};
