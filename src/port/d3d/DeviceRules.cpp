#include "port/d3d/DeviceRules.h"

namespace port
{
namespace d3d
{
D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DLIGHT9 DefaultLight()
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

std::map<D3DRENDERSTATETYPE, DWORD> DefaultRenderStates(bool depthBuffer)
{
    return {
        {D3DRS_ZENABLE, depthBuffer ? D3DZB_TRUE : D3DZB_FALSE},
        {D3DRS_FILLMODE, 3},  // D3DFILL_SOLID
        {D3DRS_SHADEMODE, 2}, // D3DSHADE_GOURAUD
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_LASTPIXEL, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_DITHERENABLE, FALSE},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_FOGENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_NORMALIZENORMALS, FALSE},
        {D3DRS_DIFFUSEMATERIALSOURCE, 1}, // D3DMCS_COLOR1
        {D3DRS_AMBIENTMATERIALSOURCE, 0}, // D3DMCS_MATERIAL
        {D3DRS_BLENDOP, 1},               // D3DBLENDOP_ADD
    };
}

std::map<D3DSAMPLERSTATETYPE, DWORD> DefaultSamplerStates()
{
    return {
        {D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP}, {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
        {D3DSAMP_ADDRESSW, D3DTADDRESS_WRAP}, {D3DSAMP_BORDERCOLOR, 0},
        {D3DSAMP_MAGFILTER, D3DTEXF_POINT},   {D3DSAMP_MINFILTER, D3DTEXF_POINT},
        {D3DSAMP_MIPFILTER, D3DTEXF_NONE},
    };
}

UINT VertexSize(DWORD fvf)
{
    UINT size = 0;
    switch (fvf & 0x00E)
    {
    case 0x002:
        size += 12;
        break; // D3DFVF_XYZ
    case 0x004:
        size += 16;
        break; // D3DFVF_XYZRHW
    default:
        break;
    }
    if (fvf & 0x010)
        size += 12; // normal
    if (fvf & 0x020)
        size += 4; // point size
    if (fvf & 0x040)
        size += 4; // diffuse
    if (fvf & 0x080)
        size += 4;                  // specular
    size += ((fvf >> 8) & 0xF) * 8; // two-float texture coordinate sets
    return size;
}

bool VerticesFor(D3DPRIMITIVETYPE type, UINT primitives, UINT* vertices)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        *vertices = primitives;
        return true;
    case D3DPT_LINELIST:
        *vertices = primitives * 2;
        return true;
    case D3DPT_LINESTRIP:
        *vertices = primitives + 1;
        return true;
    case D3DPT_TRIANGLELIST:
        *vertices = primitives * 3;
        return true;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        *vertices = primitives + 2;
        return true;
    }
    return false;
}

bool OneVertexProcessing(DWORD behaviorFlags)
{
    DWORD processing =
        behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                         D3DCREATE_MIXED_VERTEXPROCESSING);
    return processing != 0 && (processing & (processing - 1)) == 0;
}

bool ValidTextureShape(UINT width, UINT height, UINT levels, D3DFORMAT format, UINT maxSize)
{
    // One level is all the port keeps; 0 would ask for a whole chain of smaller ones.
    return width != 0 && height != 0 && width <= maxSize && height <= maxSize && levels == 1 &&
           (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8);
}

bool ValidVertexBufferShape(UINT length, D3DPOOL pool)
{
    return length != 0 &&
           (pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM);
}

bool ValidLight(const D3DLIGHT9* light)
{
    return light != nullptr && light->Type >= D3DLIGHT_POINT && light->Type <= D3DLIGHT_DIRECTIONAL;
}

bool ValidClear(DWORD count, const D3DRECT* rects, DWORD flags, float z, bool depthBuffer,
                bool stencilBuffer)
{
    return !(count > 0 && rects == nullptr) && flags != 0 && (flags & ~7u) == 0 &&
           !((flags & D3DCLEAR_ZBUFFER) && !depthBuffer) &&
           !((flags & D3DCLEAR_STENCIL) && !stencilBuffer) && z >= 0.0f && z <= 1.0f;
}

bool ValidPresent(bool inScene, bool windowed, const RECT* sourceRect, const RECT* destRect)
{
    return !inScene && (windowed || (sourceRect == nullptr && destRect == nullptr));
}

bool ValidDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, bool inScene, DWORD fvf)
{
    UINT vertices;
    return VerticesFor(type, primitiveCount, &vertices) && inScene && fvf != 0;
}

HRESULT TextureLevel::LockTexels(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                 bool lockable)
{
    if (level != 0 || lockedRect == nullptr || locked || !lockable)
        return D3DERR_INVALIDCALL;
    size_t first = 0;
    if (rect != nullptr)
    {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || UINT(rect->right) > width || UINT(rect->bottom) > height)
            return D3DERR_INVALIDCALL;
        first = size_t(rect->top) * width + size_t(rect->left);
    }
    locked = true;
    lockedRect->Pitch = INT(width * 4);
    lockedRect->pBits = texels.data() + first;
    return D3D_OK;
}

HRESULT TextureLevel::UnlockTexels(UINT level)
{
    if (level != 0 || !locked)
        return D3DERR_INVALIDCALL;
    locked = false;
    return D3D_OK;
}

bool CanUpdate(const TextureLevel* from, const TextureLevel* to)
{
    return from != nullptr && to != nullptr && from->pool == D3DPOOL_SYSTEMMEM &&
           to->pool == D3DPOOL_DEFAULT && from->width == to->width && from->height == to->height &&
           from->format == to->format && !from->locked && !to->locked;
}

HRESULT VertexRange::BeginLock(UINT offsetToLock, UINT sizeToLock, void** data)
{
    UINT size = sizeToLock == 0 ? (offsetToLock <= length ? length - offsetToLock : 0) : sizeToLock;
    if (data == nullptr || offsetToLock >= length || size > length - offsetToLock)
        return D3DERR_INVALIDCALL;
    lockCount++;
    return D3D_OK;
}

HRESULT VertexRange::EndLock()
{
    if (lockCount == 0)
        return D3DERR_INVALIDCALL;
    lockCount--;
    return D3D_OK;
}

HRESULT VertexBytes::LockBytes(UINT offsetToLock, UINT sizeToLock, void** data)
{
    HRESULT result = BeginLock(offsetToLock, sizeToLock, data);
    if (SUCCEEDED(result))
        *data = bytes.data() + offsetToLock;
    return result;
}

bool StreamHolds(const VertexRange* buffer, UINT offset, UINT stride, D3DPRIMITIVETYPE type,
                 UINT startVertex, UINT primitiveCount)
{
    if (buffer == nullptr || stride == 0 || buffer->lockCount > 0)
        return false;
    UINT vertices = 0;
    if (!VerticesFor(type, primitiveCount, &vertices))
        return false;
    if (primitiveCount == 0)
        return true; // nothing is read
    uint64_t end = uint64_t(offset) + (uint64_t(startVertex) + vertices) * stride;
    return end <= buffer->length;
}
} // namespace d3d
} // namespace port
