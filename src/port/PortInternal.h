// Seams inside the port layer, between its display-free core and the display backend.
#pragma once

#include "port/Win32.h"

namespace port
{
namespace internal
{
// Shows a modal box on the display when one is open; does nothing when headless or when
// no display can be reached.
void ShowDisplayMessageBox(HWND window, const char* text, const char* caption, UINT type);
} // namespace internal
} // namespace port
