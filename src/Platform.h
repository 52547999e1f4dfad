// The one door from the game to the machine. On Windows the game talks to the real
// Win32, Direct3D 9, DirectInput 8 and XInput headers; everywhere else to the port layer,
// which declares the same names with the same signatures.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <dinput.h>
#include <xinput.h>
// A window program: what it has to tell the player goes in a box or a file.
const bool CONSOLE_PROGRAM = false;
// GameSettings.ini stays beside the program, where Windows players have always kept it:
// there is no folder of the player's own to look in.
inline const char* PlayerSettingsFolder()
{
    return nullptr;
}
#else
#include "port/Win32.h"
#include "port/D3D9.h"
#include "port/DInput.h"
#include "port/XInput.h"
// Standard output and error reach the player, as for any program started from a shell.
const bool CONSOLE_PROGRAM = true;
// The player's own folder for GameSettings.ini, ending in a separator: the system's
// place for a user's settings. Null where the system names none.
const char* PlayerSettingsFolder();
#endif
