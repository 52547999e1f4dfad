// Loads the Direct3D 9 runtime at run time and creates the Direct3D object.
#pragma once

#include "Platform.h"

class DXGfx
{
  public:
    IDirect3D9* d3d;
    HMODULE library; // never freed: the runtime stays loaded until the process ends

    DXGfx();
    ~DXGfx();
};
