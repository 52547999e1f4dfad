// The memory device's resources: textures, vertex buffers, and the Direct3D object that
// makes the devices and keeps them readable after their release.
#include "port/MemoryDevice.h"

namespace port
{
namespace
{
// Devices stay readable after their last release until the next one is made.
struct Registry
{
    std::vector<MemoryDevice*> devices;
    HRESULT failNextCreation = D3D_OK;
    ~Registry()
    {
        for (MemoryDevice* device : devices)
            if (device->Released())
                delete device;
    }
    void Add(MemoryDevice* device)
    {
        std::vector<MemoryDevice*> kept;
        for (MemoryDevice* old : devices)
        {
            if (old->Released())
                delete old;
            else
                kept.push_back(old); // still in use somewhere: never pull it away
        }
        kept.push_back(device);
        devices.swap(kept);
    }
};

Registry& Devices()
{
    static Registry registry;
    return registry;
}
} // namespace

// ---------------------------------------------------------------------------------------
// Textures

MemoryTexture::MemoryTexture(MemoryDevice* device, int id, UINT width, UINT height, DWORD usage,
                             D3DFORMAT format, D3DPOOL pool)
    : TextureLevel(width, height, usage, format, pool), device(device), id(id)
{
    texels.assign(size_t(width) * height, 0u);
}

std::string MemoryTexture::Name() const
{
    return "tex#" + std::to_string(id);
}

ULONG MemoryTexture::LastReference()
{
    MemoryDevice* owner = device;
    owner->Record(CallKind::Release).created = Name();
    owner->Forget(this);
    delete this;
    owner->Release(); // each resource holds the device, as Direct3D's do
    return 0;
}

HRESULT MemoryTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                                DWORD flags)
{
    DeviceCall& call = device->Record(CallKind::LockRect);
    call.texture = Name();
    call.index = level;
    call.lockFlags = flags;
    if (device->Injected(call))
        return call.result;
    // Only textures the processor may touch can be locked: not the default pool unless
    // made dynamic.
    bool lockable = pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC);
    return device->Finish(call, LockTexels(level, lockedRect, rect, lockable));
}

HRESULT MemoryTexture::UnlockRect(UINT level)
{
    DeviceCall& call = device->Record(CallKind::UnlockRect);
    call.texture = Name();
    call.index = level;
    if (device->Injected(call))
        return call.result;
    return device->Finish(call, UnlockTexels(level));
}

// ---------------------------------------------------------------------------------------
// Vertex buffers

MemoryVertexBuffer::MemoryVertexBuffer(MemoryDevice* device, int id, UINT length, DWORD usage,
                                       DWORD fvf, D3DPOOL pool)
    : VertexBytes(length, fvf), device(device), id(id), usage(usage), pool(pool)
{
}

std::string MemoryVertexBuffer::Name() const
{
    return "vb#" + std::to_string(id);
}

ULONG MemoryVertexBuffer::LastReference()
{
    MemoryDevice* owner = device;
    owner->Record(CallKind::Release).created = Name();
    owner->Forget(this);
    delete this;
    owner->Release();
    return 0;
}

HRESULT MemoryVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags)
{
    DeviceCall& call = device->Record(CallKind::Lock);
    call.vertexBuffer = Name();
    call.lockOffset = offsetToLock;
    call.lockSize = sizeToLock;
    call.lockFlags = flags;
    if (device->Injected(call))
        return call.result;
    return device->Finish(call, LockBytes(offsetToLock, sizeToLock, data));
}

HRESULT MemoryVertexBuffer::Unlock()
{
    DeviceCall& call = device->Record(CallKind::Unlock);
    call.vertexBuffer = Name();
    if (device->Injected(call))
        return call.result;
    return device->Finish(call, UnlockBytes());
}

// ---------------------------------------------------------------------------------------
// The device's resources

MemoryTexture* MemoryDevice::FindTexture(IDirect3DBaseTexture9* texture) const
{
    return d3d::FindLive(liveTextures, texture);
}

MemoryVertexBuffer* MemoryDevice::FindVertexBuffer(IDirect3DVertexBuffer9* buffer) const
{
    return d3d::FindLive(liveBuffers, buffer);
}

std::string MemoryDevice::NameOf(IDirect3DBaseTexture9* texture) const
{
    if (texture == nullptr)
        return "null";
    MemoryTexture* t = FindTexture(texture);
    return t ? t->Name() : "foreign";
}

std::string MemoryDevice::NameOf(IDirect3DVertexBuffer9* buffer) const
{
    if (buffer == nullptr)
        return "null";
    MemoryVertexBuffer* b = FindVertexBuffer(buffer);
    return b ? b->Name() : "foreign";
}

void MemoryDevice::Forget(MemoryTexture* texture)
{
    d3d::DropLive(liveTextures, texture);
    // A released texture may still be bound, as on Direct3D; drop it so nothing points
    // at freed memory.
    for (IDirect3DBaseTexture9*& bound : textures)
        if (bound == texture)
            bound = nullptr;
}

void MemoryDevice::Forget(MemoryVertexBuffer* buffer)
{
    d3d::DropLive(liveBuffers, buffer);
    if (streamSource == buffer)
        streamSource = nullptr;
}

HRESULT MemoryDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                    D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                    HANDLE* sharedHandle)
{
    DeviceCall& call = Record(CallKind::CreateTexture);
    call.width = width;
    call.height = height;
    call.levels = levels;
    call.usage = usage;
    call.format = format;
    call.pool = pool;
    if (Injected(call))
        return call.result;
    if (texture == nullptr || sharedHandle != nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    *texture = nullptr;
    if (!d3d::ValidTextureShape(width, height, levels, format, MAX_TEXTURE_SIZE))
        return Finish(call, D3DERR_INVALIDCALL);
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM &&
        pool != D3DPOOL_SCRATCH)
        return Finish(call, D3DERR_INVALIDCALL);
    if (pool == D3DPOOL_MANAGED && (usage & D3DUSAGE_DYNAMIC))
        return Finish(call, D3DERR_INVALIDCALL);
    MemoryTexture* made =
        new MemoryTexture(this, nextTextureId++, width, height, usage, format, pool);
    liveTextures.push_back(made);
    AddRef();
    call.created = made->Name();
    *texture = made;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                         IDirect3DVertexBuffer9** vertexBuffer,
                                         HANDLE* sharedHandle)
{
    DeviceCall& call = Record(CallKind::CreateVertexBuffer);
    call.length = length;
    call.usage = usage;
    call.fvf = fvf;
    call.pool = pool;
    if (Injected(call))
        return call.result;
    if (vertexBuffer == nullptr || sharedHandle != nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    *vertexBuffer = nullptr;
    // A buffer with a vertex format must hold at least one vertex of it.
    if (!d3d::ValidVertexBufferShape(length, pool) || (fvf != 0 && length < d3d::VertexSize(fvf)))
        return Finish(call, D3DERR_INVALIDCALL);
    if (length > d3d::MAX_VERTEX_BUFFER_LENGTH)
        return Finish(call, D3DERR_OUTOFVIDEOMEMORY);
    MemoryVertexBuffer* made =
        new MemoryVertexBuffer(this, nextBufferId++, length, usage, fvf, pool);
    liveBuffers.push_back(made);
    AddRef();
    call.created = made->Name();
    *vertexBuffer = made;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::UpdateTexture(IDirect3DBaseTexture9* source,
                                    IDirect3DBaseTexture9* destination)
{
    DeviceCall& call = Record(CallKind::UpdateTexture);
    call.source = NameOf(source);
    call.texture = NameOf(destination);
    call.texturePointer = destination;
    if (Injected(call))
        return call.result;
    MemoryTexture* from = FindTexture(source);
    MemoryTexture* to = FindTexture(destination);
    if (!d3d::CanUpdate(from, to))
        return Finish(call, D3DERR_INVALIDCALL);
    to->texels = from->texels;
    return Finish(call, D3D_OK);
}

// ---------------------------------------------------------------------------------------
// The Direct3D object

HRESULT MemoryDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow,
                                     DWORD behaviorFlags,
                                     D3DPRESENT_PARAMETERS* presentationParameters,
                                     IDirect3DDevice9** returnedDeviceInterface)
{
    if (returnedDeviceInterface == nullptr || presentationParameters == nullptr)
        return D3DERR_INVALIDCALL;
    *returnedDeviceInterface = nullptr;
    Registry& registry = Devices();
    if (FAILED(registry.failNextCreation))
    {
        HRESULT result = registry.failNextCreation;
        registry.failNextCreation = D3D_OK;
        return result;
    }
    const D3DPRESENT_PARAMETERS& p = *presentationParameters;
    if (adapter != D3DADAPTER_DEFAULT || deviceType < D3DDEVTYPE_HAL ||
        deviceType > D3DDEVTYPE_NULLREF)
        return D3DERR_INVALIDCALL;
    // Exactly one way of processing vertices, and a window to present to.
    if (!d3d::OneVertexProcessing(behaviorFlags))
        return D3DERR_INVALIDCALL;
    if (focusWindow == nullptr && p.hDeviceWindow == nullptr)
        return D3DERR_INVALIDCALL;
    if (!p.Windowed)
    {
        // Full screen needs a real mode: a size, and the adapter's formats.
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0)
            return D3DERR_INVALIDCALL;
        if (p.BackBufferWidth > d3d::MAX_BACK_BUFFER_SIDE ||
            p.BackBufferHeight > d3d::MAX_BACK_BUFFER_SIDE)
            return D3DERR_NOTAVAILABLE;
        if (p.BackBufferFormat != D3DFMT_X8R8G8B8 && p.BackBufferFormat != D3DFMT_A8R8G8B8 &&
            p.BackBufferFormat != D3DFMT_R5G6B5)
            return D3DERR_INVALIDCALL;
    }
    if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY ||
        p.BackBufferCount > 3)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && p.AutoDepthStencilFormat != D3DFMT_D16 &&
        p.AutoDepthStencilFormat != D3DFMT_D24S8 && p.AutoDepthStencilFormat != D3DFMT_D24X8 &&
        p.AutoDepthStencilFormat != D3DFMT_D32)
        return D3DERR_INVALIDCALL;
    MemoryDevice* device = new MemoryDevice(focusWindow, behaviorFlags, p);
    registry.Add(device);
    *returnedDeviceInterface = device;
    return D3D_OK;
}

MemoryDevice* LastMemoryDevice()
{
    Registry& registry = Devices();
    return registry.devices.empty() ? nullptr : registry.devices.back();
}

void FailNextMemoryDeviceCreation(HRESULT result)
{
    Devices().failNextCreation = result;
}

} // namespace port
