// Whether anybody acts on a full-screen request: on a bare X server (no window manager)
// nobody does, and the device covers the screen by hand instead.
#pragma once

#include <SDL.h>

namespace port
{
namespace internal
{
bool DisplayHasWindowManager(SDL_Window* window);

// The window data (SDL_SetWindowData) that marks a window covering the screen by hand:
// moving it leaves it where it is, as for a full-screen one.
const char* const COVERED_BY_HAND = "port.coveredByHand";
} // namespace internal
} // namespace port
