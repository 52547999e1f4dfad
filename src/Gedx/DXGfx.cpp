#include "Gedx/DXGfx.h"
#include "Gedx/DXException.h"

namespace
{
typedef IDirect3D9*(WINAPI* Direct3DCreate9Function)(UINT sdkVersion);

// The SDK version the game asks the runtime for.
const UINT GAME_SDK_VERSION = 31;
} // namespace

DXGfx::DXGfx() : d3d(nullptr), library(nullptr)
{
    library = LoadLibraryA("d3d9.dll");
    if (library == nullptr)
        throw DXException(0, "Unable to load d3d9.dll");
    FARPROC proc = GetProcAddress(library, "Direct3DCreate9");
    if (proc == nullptr)
        throw DXException(0, "Invalid d3d9.dll");
    auto create = reinterpret_cast<Direct3DCreate9Function>(reinterpret_cast<void*>(proc));
    d3d = create(GAME_SDK_VERSION);
    if (d3d == nullptr)
        throw DXException(0, "Failed to create Direct3D object");
}

DXGfx::~DXGfx()
{
    if (d3d)
        d3d->Release();
}
