// What the port layer offers beyond the Win32 / Direct3D 9 / DirectInput 8 names: the
// switches that tests and headless runs use to replace time, the display and input.
// Game code never includes this header; tests, tools and the port's own main() do.
#pragma once

#include "port/Win32.h"

#include <string>
#include <vector>

namespace port
{

// timeGetTime() reads the test clock instead of the system's monotonic clock while it is
// in use, so tests step time instead of sleeping.
void UseTestClock(DWORD now);
void SetTestClock(DWORD now);
void AdvanceTestClock(DWORD milliseconds);
void UseRealClock();
bool UsingTestClock();

// Headless: Direct3DCreate9 hands out the in-memory device, windows exist without a
// display, and DirectInput reads scripted state. Chosen before the game starts.
void SetHeadless(bool headless);
bool IsHeadless();

// Every MessageBoxA call is written to standard error and kept here, newest last.
struct MessageBoxRecord
{
    std::string caption;
    std::string text;
    UINT type;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
void ClearMessageBoxes();

// Whether the built-in module with this name (for example "d3d9.dll") can be loaded;
// tests switch one off to see the game's failure path for a missing library.
void SetModuleAvailable(const char* name, bool available);

// Turns a Windows path into a POSIX one: '\' separates directories.
std::string NativePath(const char* windowsPath);

} // namespace port
