// The entry point's protected region, apart from WinMain so that its handlers can be
// driven directly.
#pragma once

// Runs the body; a failure of any kind runs Shutdown and then shows its message in the
// error box. Returns WinMain's result, 0.
int RunProtected(void (*body)());

// WinMain's start-up in its fixed order: settings, window, Direct3D, input, device, the
// game-over pictures and the world, then the hidden cursor. Headless drivers reuse it.
void StartUp();
