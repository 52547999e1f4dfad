// The entry point's protected region, apart from WinMain so that its handlers can be
// driven directly.
#pragma once

// Runs the body; a failure of any kind runs Shutdown and then shows its message in the
// error box. Returns WinMain's result, 0.
int RunProtected(void (*body)());

// WinMain's start-up in its fixed order: settings, window, Direct3D, input, device, the
// game-over pictures and the world, then the hidden cursor. Headless drivers reuse it.
void StartUp();

// One pass of the main loop: every waiting message, then one frame (the input step, the
// steps of the world due, the render). Away from the foreground, or with the device lost,
// the game is paused instead: it waits a tenth of a second and draws its picture again.
// False once WM_QUIT has come and the game is shut down.
bool RunFrame();

// Alt+Enter: between full screen and a window of the back buffer's size, the game going on.
void ToggleWindowed();
