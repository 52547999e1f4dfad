// The one door from the game to the machine. On Windows the game talks to the real
// Win32, Direct3D 9 and DirectInput 8 headers; everywhere else to the port layer,
// which declares the same names with the same signatures.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <dinput.h>
// A window program: what it has to tell the player goes in a box or a file.
const bool CONSOLE_PROGRAM = false;
#else
#include "port/Win32.h"
#include "port/D3D9.h"
#include "port/DInput.h"
// Standard output and error reach the player, as for any program started from a shell.
const bool CONSOLE_PROGRAM = true;
#endif
