// The keyboard's keys as DirectInput numbers them, from SDL's scancodes.
#pragma once

#include "port/Win32.h"

#include <SDL.h>

namespace port
{
namespace internal
{
// The DirectInput key code of a scancode, 0 when DirectInput has none.
BYTE DirectInputKey(SDL_Scancode scancode);
// SDL's keyboard state (count entries by scancode) as 256 bytes by DirectInput key
// code, 0x80 for a key that is down.
void MapKeyboard(const Uint8* sdlState, int count, BYTE keys[256]);
} // namespace internal
} // namespace port
