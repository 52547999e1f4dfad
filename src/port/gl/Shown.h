// What the player sees of the frames the OpenGL device shows.
#pragma once

#include <cstdint>
#include <vector>

namespace port
{
namespace gl
{
// The device's window as the display shows it, RGBA, top row first, read back from the X
// server; false without a device or on another video driver.
bool ReadWindowPixels(int* width, int* height, std::vector<uint8_t>* rgba);
} // namespace gl
} // namespace port
