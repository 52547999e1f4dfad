#include "input/DXInput.h"
#include "input/Libraries.h"

HMODULE d3d9Library = nullptr;
HMODULE ddrawLibrary = nullptr;
HMODULE dinput8Library = nullptr;

void LoadDXLibraries(int32_t flags)
{
    // A failed load leaves a null handle; the first user of the library reports it.
    if (flags & DXLIB_D3D9)
        d3d9Library = LoadLibraryA("d3d9.dll");
    if (flags & DXLIB_DDRAW)
        ddrawLibrary = LoadLibraryA("ddraw.dll");
    if (flags & DXLIB_DINPUT8)
        dinput8Library = LoadLibraryA("dinput8.dll");
}
