// The program around the game: WinMain's start-up in its fixed order, the main loop and
// its frame, shutdown and the error boxes. Headless drivers (the tests, the demo maker) run
// the same functions the program does.
#pragma once

#include "Platform.h"

class DXGamepad;

// The gamepad beside DirectInput's mouse and keyboard, made and destroyed with them.
extern DXGamepad* gamepad;

// The main window's procedure: closing the window asks the loop to end.
LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WinMain's start-up in its fixed order: settings, window, Direct3D, input, then StartGame,
// then the hidden cursor.
void StartUp();
// The device, the game-over pictures and the world, loaded and reset.
void StartGame();

// One pass of the main loop: every waiting message, then one frame (the input step, the
// steps of the world due, the render). Away from the foreground, or with the device lost,
// the game is paused instead: it waits a tenth of a second and draws its picture again.
// False once WM_QUIT has come and the game is shut down.
bool RunFrame();
// The frame's input step: the snapshot (mouse, keyboard and the pad's part, turned by
// InvertLook), Escape, the screenshot key, Alt+Enter, then the world's steps due (or a
// demo's recorded frames).
void UpdateFrame();
// The frame's picture for the game state, presented.
void RenderFrame();

// Every program-wide object destroyed, in order; a second call does nothing.
void Shutdown();

// Runs the body, then Shutdown; a failure of any kind, or a demo that could not be kept,
// is then shown in the error box. Returns WinMain's result: 0, or 1 after the box.
int RunProtected(void (*body)());

// Alt+Enter: between full screen and a window of the back buffer's size, the game going on.
void ToggleWindowed();
