#include "input/DXInput.h"
#include "input/Libraries.h"

HMODULE d3d9Library = nullptr;
HMODULE ddrawLibrary = nullptr;
HMODULE dinput8Library = nullptr;
HMODULE xinputLibrary = nullptr;

void LoadDXLibraries(int32_t flags)
{
    // A failed load leaves a null handle; the first user of the library reports it.
    if (flags & DXLIB_D3D9)
        d3d9Library = LoadLibraryA("d3d9.dll");
    if (flags & DXLIB_DDRAW)
        ddrawLibrary = LoadLibraryA("ddraw.dll");
    if (flags & DXLIB_DINPUT8)
        dinput8Library = LoadLibraryA("dinput8.dll");
    // The newer library where the system has it (Windows 8 and later), else the one every
    // Windows since Vista has.
    if (flags & DXLIB_XINPUT)
    {
        xinputLibrary = LoadLibraryA("xinput1_4.dll");
        if (xinputLibrary == nullptr)
            xinputLibrary = LoadLibraryA("xinput9_1_0.dll");
    }
}
