// What a Direct3D 9 device checks and starts with, the same whether it draws into memory
// or on the display: argument checks, initial state, and the one texture level and vertex
// bytes both devices keep in memory.
#pragma once

#include "port/D3D9.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace port
{
namespace d3d
{
const DWORD MAX_TEXTURE_STAGES = 8;
const DWORD MAX_SAMPLERS = 16;
const UINT MAX_STREAMS = 16;
// No display shows a back buffer wider or taller than this; larger ones are refused before
// anything is allocated for them.
const UINT MAX_BACK_BUFFER_SIDE = 8192;
// Larger vertex buffers are refused as out of video memory.
const UINT MAX_VERTEX_BUFFER_LENGTH = 256u * 1024u * 1024u;

D3DMATRIX Identity();
// The light LightEnable gives an index that was never set: white, directional, along +z.
D3DLIGHT9 DefaultLight();
// Render and sampler state defaults of a freshly created device.
std::map<D3DRENDERSTATETYPE, DWORD> DefaultRenderStates(bool depthBuffer);
std::map<D3DSAMPLERSTATETYPE, DWORD> DefaultSamplerStates();

// Bytes of one vertex of a fixed-function vertex format.
UINT VertexSize(DWORD fvf);
// Vertices a draw of this many primitives reads; false for an unknown primitive type.
bool VerticesFor(D3DPRIMITIVETYPE type, UINT primitives, UINT* vertices);

// Exactly one way of processing vertices among CreateDevice's behaviour flags.
bool OneVertexProcessing(DWORD behaviorFlags);
// A texture of one level, of a size up to maxSize, in a 32-bit format.
bool ValidTextureShape(UINT width, UINT height, UINT levels, D3DFORMAT format, UINT maxSize);
// A vertex buffer of some length in a pool vertex buffers can live in.
bool ValidVertexBufferShape(UINT length, D3DPOOL pool);
bool ValidLight(const D3DLIGHT9* light);
// Clear: rectangles when counted, known flags only, buffers that exist, z in 0..1.
bool ValidClear(DWORD count, const D3DRECT* rects, DWORD flags, float z, bool depthBuffer,
                bool stencilBuffer);
// Present: a frame is shown once its scene has ended, and a full-screen swap chain takes
// no rectangles.
bool ValidPresent(bool inScene, bool windowed, const RECT* sourceRect, const RECT* destRect);
// A draw needs a known primitive type, a scene, and a vertex format.
bool ValidDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, bool inScene, DWORD fvf);

// One level of 0xAARRGGBB texels, rows top to bottom with no padding: the bytes a locked
// rectangle shows (B, G, R, A in memory).
struct TextureLevel
{
    TextureLevel(UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : width(width), height(height), usage(usage), format(format), pool(pool)
    {
    }

    UINT width, height;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    bool locked = false;
    std::vector<uint32_t> texels;

    // Level 0 only, once at a time, a rectangle inside the texture; lockable says whether
    // the processor may touch this texture at all.
    HRESULT LockTexels(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, bool lockable);
    HRESULT UnlockTexels(UINT level);
};

// UpdateTexture copies from system memory to the default pool, same size and format,
// neither locked.
bool CanUpdate(const TextureLevel* from, const TextureLevel* to);

// A vertex buffer's bytes, lockable any number of times over.
struct VertexRange
{
    VertexRange(UINT length, DWORD fvf) : fvf(fvf), length(length) {}

    DWORD fvf;
    UINT length;
    int lockCount = 0;

    // Counts a lock of a range inside the buffer (size 0 means "to the end"); the caller
    // then points `data` at its first byte.
    HRESULT BeginLock(UINT offsetToLock, UINT sizeToLock, void** data);
    HRESULT EndLock();
};

// A vertex buffer whose bytes live in memory.
struct VertexBytes : VertexRange
{
    VertexBytes(UINT length, DWORD fvf) : VertexRange(length, fvf), bytes(length, 0) {}

    std::vector<uint8_t> bytes;

    HRESULT LockBytes(UINT offsetToLock, UINT sizeToLock, void** data);
    HRESULT UnlockBytes() { return EndLock(); }
};

// Whether DrawPrimitive may read its vertices from stream 0: a buffer, unlocked, with a
// stride, holding every vertex the draw reads.
bool StreamHolds(const VertexRange* buffer, UINT offset, UINT stride, D3DPRIMITIVETYPE type,
                 UINT startVertex, UINT primitiveCount);

// The element of a device's list of live resources behind an interface pointer, or null.
template <class Resource, class Interface>
Resource* FindLive(const std::vector<Resource*>& live, Interface* pointer)
{
    for (Resource* resource : live)
        if (static_cast<Interface*>(resource) == pointer)
            return resource;
    return nullptr;
}

template <class Resource> void DropLive(std::vector<Resource*>& live, Resource* resource)
{
    live.erase(std::remove(live.begin(), live.end(), resource), live.end());
}
} // namespace d3d
} // namespace port
