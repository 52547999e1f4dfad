#include "input/DXInput.h"

#include <cstring>

DXInput::DXInput()
    : directInput(nullptr), mouseDevice(nullptr), keyboardDevice(nullptr), mouseX(0), mouseY(0),
      mouseScale(1.0f), prevRightButton(false), keysPrimed(false)
{
    std::memset(&mouseState, 0, sizeof mouseState);
    std::memset(keys, 0, sizeof keys);
    std::memset(prevKeys, 0, sizeof prevKeys);
}

DXInput::~DXInput()
{
    if (directInput)
        directInput->Release();
}
