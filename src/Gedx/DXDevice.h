// The full-screen rendering device, its one shared vertex buffer and the triangle
// operations the game draws with.
#pragma once

#include "Platform.h"

#include <cstdint>

class DXGfx;
class DXTexture;

// Lit, textured vertex: the vertex buffer's format (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1).
struct DXVertexTL
{
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// Unlit, textured vertex (D3DFVF_XYZ | D3DFVF_TEX1), for screen images.
struct DXVertexT
{
    float x, y, z;
    float u, v;
};

const DWORD FVF_VERTEX_TL = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1; // 0x112
const DWORD FVF_VERTEX_T = D3DFVF_XYZ | D3DFVF_TEX1;                  // 0x102

class DXDevice
{
  public:
    IDirect3DDevice9* device; // public: game code sets states and transforms through it
    HWND window;
    D3DPRESENT_PARAMETERS presentParams;
    int32_t triangleCapacity;
    IDirect3DVertexBuffer9* vertexBuffer;
    BYTE* vertexData; // the locked region; valid between Lock and Unlock

    DXDevice(DXGfx* gfx, HWND window, int32_t triangleCapacity);
    ~DXDevice();

    // Clears colour and depth, begins the scene, sets the buffer's vertex format and
    // the white material.
    void FillColour(D3DCOLOR colour);
    // Ends the scene and presents it.
    void Render();

    // Offset and size in bytes; (0, 0) locks the whole buffer.
    void Lock(int32_t offset, int32_t size);
    void Unlock();
    // The three vertices of a triangle of the locked buffer.
    DXVertexTL* GetVBTri(int32_t index);
    void DrawTris(int32_t first, int32_t count, DXTexture* texture);
    void Tri3TL(const DXVertexTL& a, const DXVertexTL& b, const DXVertexTL& c, DXTexture* texture);
    void Tri3T(const DXVertexT& a, const DXVertexT& b, const DXVertexT& c, DXTexture* texture);

    // A texture in system memory (staging) or in the default pool.
    void CreateTexture(IDirect3DTexture9** texture, int32_t width, int32_t height, bool staging);
};
