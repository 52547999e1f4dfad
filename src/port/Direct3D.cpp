// The built-in "d3d9.dll": headless runs draw into memory, everything else on the display.
#include "port/Port.h"
#include "port/PortInternal.h"

IDirect3D9* WINAPI Direct3DCreate9(UINT sdkVersion)
{
    // The runtime answers only the SDK versions it was built for (9.0b and 9.0c), with or
    // without the debug flag.
    UINT version = sdkVersion & 0x7FFFFFFFu;
    if (version != 31 && version != 32)
        return nullptr;
    if (const port::internal::HeadlessRun* run = port::internal::headlessRun)
        return run->createDirect3D();
    return port::internal::CreateDisplayDirect3D();
}
