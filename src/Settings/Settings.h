// GameSettings.ini: integer keys read once at start-up.
#pragma once

#include <cstdint>

extern int32_t XResolution;      // back-buffer width, default 1024
extern int32_t YResolution;      // back-buffer height, default 768
extern int32_t MouseSensitivity; // view turn per mouse count, in 1/35000 radian; default 100
// Steps of the world a second of game time, whatever the display's rate; 0 steps it once
// a presented frame. Default 60; only 0 or 10 to 1000 are taken.
extern int32_t UpdateRate;
// 1: a window of XResolution x YResolution with a title bar; 0 (default): full screen.
extern int32_t Windowed;

// Not a key of the file but of --timedemo: frames follow as fast as the device presents
// them, without waiting for the display.
extern bool PresentImmediately;

// Reads the file from the current directory; throws _TFileException when it is missing or
// a key that takes only some values has another.
void ReadSettings();
