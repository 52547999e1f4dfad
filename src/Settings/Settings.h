// GameSettings.ini: three integer keys read once at start-up.
#pragma once

#include <cstdint>

extern int32_t XResolution;      // back-buffer width, default 1024
extern int32_t YResolution;      // back-buffer height, default 768
extern int32_t MouseSensitivity; // view turn per mouse count, in 1/35000 radian; default 100

// Reads the file from the current directory; throws _TFileException when it is missing.
void ReadSettings();
