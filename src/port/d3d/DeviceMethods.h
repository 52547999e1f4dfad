// The IDirect3DDevice9 methods, declared once for every device class of the port.
#pragma once

#include "port/D3D9.h"

#define PORT_IDIRECT3DDEVICE9_METHODS                                                              \
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,     \
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle)         \
        override;                                                                                  \
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,                  \
                               IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle)        \
        override;                                                                                  \
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination)       \
        override;                                                                                  \
    HRESULT TestCooperativeLevel() override;                                                       \
    HRESULT Reset(D3DPRESENT_PARAMETERS* presentationParameters) override;                         \
    HRESULT BeginScene() override;                                                                 \
    HRESULT EndScene() override;                                                                   \
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,        \
                  DWORD stencil) override;                                                         \
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,         \
                    const RGNDATA* dirtyRegion) override;                                          \
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;           \
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;                                    \
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;                                \
    HRESULT LightEnable(DWORD index, BOOL enable) override;                                        \
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;                        \
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;                      \
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;        \
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;  \
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,    \
                            UINT vertexStride) override;                                           \
    HRESULT SetFVF(DWORD fvf) override;                                                            \
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,                 \
                            UINT offsetInBytes, UINT stride) override;
