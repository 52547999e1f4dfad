// What the port layer offers beyond the Win32 / Direct3D 9 / DirectInput 8 names: the
// switches that tests and headless runs use to replace time, the display and input.
// Game code never includes this header; tests, tools and the port's own main() do.
#pragma once

#include "port/Win32.h"

#include <cstdint>
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

// Headless: Direct3DCreate9 hands out the in-memory device, windows exist without a
// display, and DirectInput reads scripted state. Chosen before the game starts.
// SetHeadless and the scripted input and foreground below live in gf_port_headless, which
// only the tests and the headless tools link: the game cannot switch to them.
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

// What CommandLineArguments gives: the program's arguments after its name, as main() got
// them (tests set their own).
void SetCommandLineArguments(const std::vector<std::string>& arguments);

// Whether the built-in module with this name (for example "d3d9.dll") can be loaded;
// tests switch one off to see the game's failure path for a missing library.
void SetModuleAvailable(const char* name, bool available);

// Turns a Windows path into a POSIX one: '\' separates directories. A relative path under
// Data\ is taken from the world's folder (see FindWorld); any other from the current one.
std::string NativePath(const char* windowsPath);
// Where the world (Data\...) comes from: the current folder when it holds one, as always;
// otherwise the world installed beside the program, in ../share/gloamfield from it, when
// there is one. Where the settings file was found has no say in it.
void FindWorld();

// Input of headless runs: DirectInput's devices read this state instead of the system's.
// Mouse motion adds up until the next read of the mouse takes it.
void SetScriptedKeys(const BYTE keys[256]);
void SetScriptedKey(BYTE code, bool down);
void SetScriptedMouse(LONG dx, LONG dy, bool leftButton, bool rightButton);
void ClearScriptedInput();
// Acquired devices lose their input, as when another window takes the foreground; the
// next GetDeviceState fails with DIERR_INPUTLOST.
void LoseInput();

// The foreground window of headless runs, as another window taking the focus would set
// it; null for none. Until a test sets it, the last window shown has the foreground.
void SetScriptedForeground(HWND window);
void ClearScriptedForeground();

// Puts a message in the window's queue, as a user closing the window would (WM_CLOSE).
void PostWindowMessage(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The live windows.
int WindowCount();
// The display counter of ShowCursor (visible while 0 or more).
int CursorCounter();

// Every keybd_event call, newest last.
struct KeyEventRecord
{
    BYTE virtualKey;
    BYTE scanCode;
    DWORD flags;
};
const std::vector<KeyEventRecord>& KeyEvents();
void ClearKeyEvents();

// The display device's back buffer (the frame last drawn), as RGBA bytes with the top
// row first. False when no display device exists. Once a frame drawn into the window has
// been presented, this is what the swap left behind: the same frame where the driver
// copies on swaps (Mesa's software renderer), anything elsewhere.
bool ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba);
// Writes RGBA pixels (top row first) as a PNG file.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);
// Present waits for the next display refresh when the driver does not; off for
// measurements.
void SetPresentPacing(bool on);
// The file the last Print Screen wrote, empty when none.
std::string LastScreenshot();

} // namespace port
