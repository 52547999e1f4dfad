// The full-screen rendering device, its one shared vertex buffer and the triangle
// operations the game draws with.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <vector>

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

// The back buffer's size for full screen or a window: XResolution x YResolution, or where
// either is 0 the desktop's own size full screen and three quarters of it in a window.
void BackBufferSize(bool windowed, int32_t& width, int32_t& height);

class DXDevice
{
  public:
    IDirect3DDevice9* device; // public: game code sets states and transforms through it
    HWND window;
    D3DPRESENT_PARAMETERS presentParams;
    int32_t triangleCapacity;
    IDirect3DVertexBuffer9* vertexBuffer;
    BYTE* vertexData; // the locked region; valid between Lock and Unlock
    // Present found the device lost (the full screen left, say): nothing reaches the screen
    // until Restore brings it back.
    bool lost;
    // Every live texture: a reset takes them away, and they are made again from their pixels.
    std::vector<DXTexture*> textures;
    // The screen edge images are kept to at present (KeepToEdge, DXTexture.h).
    int32_t screenEdge;

    DXDevice(DXGfx* gfx, HWND window, int32_t triangleCapacity);
    ~DXDevice();

    // Clears colour and depth, begins the scene, sets the buffer's vertex format and
    // the white material.
    void FillColour(D3DCOLOR colour);
    // Ends the scene and presents it. A lost device is not a failure: it sets `lost`.
    void Render();
    // After a loss: true once the device can draw again, reset when it may be, with the
    // vertex buffer, every texture and the states set at its creation as they were; false
    // while it is still lost. The caller sets its own states again. A reset that fails for
    // another reason throws.
    bool Restore();
    // The same device in a window (of the back buffer's size) or full screen, through a reset
    // as after a loss; the desktop's size or three quarters of it where the settings ask for
    // that. The caller sets its own states again.
    void SetWindowed(bool windowed);

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

  private:
    // The vertex buffer as the game last wrote it, kept in memory: a lost device's video
    // memory cannot be read back. The triangles written between Lock and Unlock are copied.
    std::vector<BYTE> shadow;
    size_t lockedOffset;
    int32_t writtenFirst, writtenLast;

    void CreateVertexBuffer();
    void SetStartStates();
    // Reset with presentParams: default-pool resources go first and are made again after.
    // False when the device was lost again on the way.
    bool ResetDevice();
};
