// The one door from the game to the machine. On Windows the game talks to the real
// Win32, Direct3D 9 and DirectInput 8 headers; everywhere else to the port layer,
// which declares the same names with the same signatures.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <mmsystem.h>
#include <d3d9.h>
#include <dinput.h>
#else
#include "port/Win32.h"
#include "port/D3D9.h"
#include "port/DInput.h"
#endif
