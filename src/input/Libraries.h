// The DirectX libraries loaded by LoadDXLibraries, kept for the life of the process.
#pragma once

#include "Platform.h"

extern HMODULE d3d9Library;
extern HMODULE ddrawLibrary;
extern HMODULE dinput8Library;
extern HMODULE xinputLibrary;
