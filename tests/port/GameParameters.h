// The presentation parameters the game asks Direct3D for, at a chosen back-buffer size.
#pragma once

#include "port/D3D9.h"

inline D3DPRESENT_PARAMETERS GameParameters(UINT width = 1024, UINT height = 768)
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    p.Flags = 0x13;
    return p;
}
