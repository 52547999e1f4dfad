// The settings reader over arbitrary file contents: it may reject nothing, so it must
// never crash, overrun or hang, and every key it stores must come from the file.
#include "FuzzSupport.h"
#include "Settings/Settings.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    EnterScratchDirectory();
    WriteScratchFile("GameSettings.ini", data, size);
    XResolution = 1024;
    YResolution = 768;
    MouseSensitivity = 100;
    ReadSettings();
    return 0;
}
