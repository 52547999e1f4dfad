// GameSettings.ini: integer keys read once at start-up.
#pragma once

#include <cstdint>

// The picture's size, default 1024 x 768. 0 for either: the desktop's own size full screen,
// and a window of three quarters of it.
extern int32_t XResolution;
extern int32_t YResolution;
extern int32_t MouseSensitivity; // view turn per mouse count, in 1/35000 radian; default 100
// Steps of the world a second of game time, whatever the display's rate; 0 steps it once
// a presented frame. Default 60.
extern int32_t UpdateRate;
// 1: a window of XResolution x YResolution with a title bar; 0 (default): full screen.
extern int32_t Windowed;
// 1 (default): frames between steps draw the world part way from one step to the next;
// 0: each frame draws the world as the last step left it (the view turns with the mouse in
// every frame either way).
extern int32_t Interpolate;

// Not a key of the file but of --timedemo: frames follow as fast as the device presents
// them, without waiting for the display.
extern bool PresentImmediately;

// Reads the file from the current directory; throws _TFileException when it is missing.
void ReadSettings();
