// The entry point's protected region, apart from WinMain so that its handlers can be
// driven directly.
#pragma once

// Runs the body; a failure of any kind runs Shutdown and then shows its message in the
// error box. Returns WinMain's result, 0.
int RunProtected(void (*body)());
