// What the player sees of the frames the OpenGL device shows.
#pragma once

#include <cstdint>
#include <vector>

namespace port
{
namespace gl
{
// The window's pixels as the last frame left them, RGBA, top row first; false unless that
// frame went into the window's own pixels (a software renderer, a window the size of the
// back buffer).
bool ReadWindowPixels(int* width, int* height, std::vector<uint8_t>* rgba);
} // namespace gl
} // namespace port
