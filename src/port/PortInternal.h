// Seams inside the port layer, between its display-free core (window table, message
// queue, memory device, scripted input) and the display backend (SDL2 and OpenGL).
#pragma once

#include "port/Win32.h"
#include "port/D3D9.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;

namespace port
{
namespace internal
{
// Shows a modal box on the display when one is open; does nothing when headless or when
// no display can be reached.
void ShowDisplayMessageBox(HWND window, const char* text, const char* caption, UINT type);

// What a headless run puts in the display's place: the in-memory device and scripted
// input. The headless library (gf_port_headless), which only the tests and the headless
// tools link, installs it through port::SetHeadless; the game never has it.
struct HeadlessRun
{
    IDirect3D9* (*createDirect3D)();
    void (*keyboardState)(BYTE keys[256]);
    void (*takeMouse)(LONG* dx, LONG* dy, BYTE buttons[4]);
    unsigned (*inputLosses)();
    // The foreground window a test has chosen; false while it leaves that to the windows.
    bool (*scriptedForeground)(HWND* window);
    // SetForegroundWindow where a test has chosen the foreground: the window takes it.
    void (*takeForeground)(HWND window);
};
// Null unless a headless run is on.
extern const HeadlessRun* headlessRun;

// A window of the port's table. HWND values point at these.
struct WindowRecord
{
    std::string className;
    std::string title;
    WNDPROC procedure = nullptr;
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0; // the outer frame, as Win32 gives it
    bool visible = false;
    SDL_Window* display = nullptr; // null when headless
};

// The live window behind a handle, or null.
WindowRecord* FindWindowRecord(HWND window);
// The first live window that has a display window, or null.
WindowRecord* DisplayedWindow();
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// --- Display backend; each does nothing and answers false when headless ---------------
// Starts the display on first use; false when there is none.
bool DisplayAvailable();
bool DisplayCreateWindow(WindowRecord& window);
void DisplayDestroyWindow(WindowRecord& window);
void DisplayShowWindow(WindowRecord& window, bool show);
void DisplayMoveWindow(WindowRecord& window);
bool DisplayScreenSize(int* width, int* height);
// Turns waiting display events into window messages and input state; never blocks.
void DisplayPumpEvents();
// Waits until a display event comes, at most that long.
void DisplayWaitEvents(DWORD milliseconds);
void DisplayShowCursor(bool show);
// Whether the window has the keyboard focus; whether it is minimised.
bool DisplayHasFocus(const WindowRecord& window);
bool DisplayMinimised(const WindowRecord& window);
// The borders and title bar of a window with a caption, around its client area.
void DisplaySetBordered(WindowRecord& window, bool bordered);
// Relative mouse mode on or off (the exclusive mouse of DirectInput).
void DisplaySetRelativeMouse(bool on);
// Keyboard state by DirectInput key code; mouse motion since the last call, and buttons.
void DisplayKeyboardState(BYTE keys[256]);
void DisplayTakeMouse(LONG* dx, LONG* dy, BYTE buttons[4]);
// Counts focus losses, so an acquired device can tell it was taken away.
unsigned DisplayFocusLosses();

// The Direct3D object that draws on the display (OpenGL).
IDirect3D9* CreateDisplayDirect3D();
// What the display shows of a window, RGBA, top row first, read back from the X server;
// false on other video drivers.
bool DisplayReadWindow(SDL_Window* window, int* width, int* height, std::vector<uint8_t>* rgba);
// Called by keybd_event for Print Screen: the current device's back buffer as a PNG.
void SaveScreenshot();
} // namespace internal
} // namespace port
