// The bitmap loaders over arbitrary files and sizes: LoadTexture, the member LoadOverlay
// and the free LoadOverlay of the game-over pictures. Each either makes its image or
// refuses the file with the toolkit's or the device's exception.
//
// Input: byte 0 picks the loader, bytes 1-2 and 3-4 the width and height asked for
// (little-endian, 0 to 1024), the rest is the file.
#include "FuzzSupport.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

namespace
{
CGame* SetUpOnce()
{
    static CGame* g = nullptr;
    if (g != nullptr)
        return g;
    EnterScratchDirectory();
    static char window;
    port::SetHeadless(true);
    gfx = new DXGfx();
    device = new DXDevice(gfx, reinterpret_cast<HWND>(&window), 16);
    g = new CGame();
    return g;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CGame* g = SetUpOnce();
    if (size < 5)
        return 0;
    int32_t width = int32_t((data[1] | data[2] << 8) % 1025);
    int32_t height = int32_t((data[3] | data[4] << 8) % 1025);
    WriteScratchFile("Data/fuzz.bmp", data + 5, size - 5);
    try
    {
        switch (data[0] % 3)
        {
        case 0:
            delete g->LoadTexture("fuzz.bmp", width, height);
            break;
        case 1:
            delete g->LoadOverlay("fuzz.bmp", width, height);
            break;
        default:
            delete LoadOverlay("fuzz.bmp", width, height);
            break;
        }
    }
    catch (const _TException&)
    {
    }
    catch (const DXException&)
    {
    }
    port::LastMemoryDevice()->ClearCalls();
    return 0;
}
