#include "port/MemoryDevice.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace port
{
namespace
{
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string Hex(DWORD value) { return Format("0x%X", unsigned(value)); }

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// Bytes of one vertex of a fixed-function vertex format.
UINT VertexSize(DWORD fvf)
{
    UINT size = 0;
    switch (fvf & 0x00E)
    {
    case 0x002: size += 12; break; // D3DFVF_XYZ
    case 0x004: size += 16; break; // D3DFVF_XYZRHW
    default: break;
    }
    if (fvf & 0x010)
        size += 12; // normal
    if (fvf & 0x020)
        size += 4; // point size
    if (fvf & 0x040)
        size += 4; // diffuse
    if (fvf & 0x080)
        size += 4; // specular
    size += ((fvf >> 8) & 0xF) * 8; // two-float texture coordinate sets
    return size;
}

bool VerticesFor(D3DPRIMITIVETYPE type, UINT primitives, UINT* vertices)
{
    switch (type)
    {
    case D3DPT_POINTLIST: *vertices = primitives; return true;
    case D3DPT_LINELIST: *vertices = primitives * 2; return true;
    case D3DPT_LINESTRIP: *vertices = primitives + 1; return true;
    case D3DPT_TRIANGLELIST: *vertices = primitives * 3; return true;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: *vertices = primitives + 2; return true;
    }
    return false;
}

// Render state defaults of a freshly created Direct3D 9 device.
std::map<D3DRENDERSTATETYPE, DWORD> DefaultRenderStates(bool depthBuffer)
{
    return {
        {D3DRS_ZENABLE, depthBuffer ? D3DZB_TRUE : D3DZB_FALSE},
        {D3DRS_FILLMODE, 3}, // D3DFILL_SOLID
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

struct MethodName
{
    const char* name;
    CallKind kind;
};

const MethodName methodNames[] = {
    {"CreateTexture", CallKind::CreateTexture},
    {"CreateVertexBuffer", CallKind::CreateVertexBuffer},
    {"UpdateTexture", CallKind::UpdateTexture},
    {"BeginScene", CallKind::BeginScene},
    {"EndScene", CallKind::EndScene},
    {"Clear", CallKind::Clear},
    {"Present", CallKind::Present},
    {"SetTransform", CallKind::SetTransform},
    {"SetMaterial", CallKind::SetMaterial},
    {"SetLight", CallKind::SetLight},
    {"LightEnable", CallKind::LightEnable},
    {"SetRenderState", CallKind::SetRenderState},
    {"SetTexture", CallKind::SetTexture},
    {"SetSamplerState", CallKind::SetSamplerState},
    {"DrawPrimitive", CallKind::DrawPrimitive},
    {"DrawPrimitiveUP", CallKind::DrawPrimitiveUP},
    {"SetFVF", CallKind::SetFVF},
    {"SetStreamSource", CallKind::SetStreamSource},
    {"Lock", CallKind::Lock},
    {"Unlock", CallKind::Unlock},
    {"LockRect", CallKind::LockRect},
    {"UnlockRect", CallKind::UnlockRect},
    {"Release", CallKind::Release},
};
} // namespace

const char* CallKindName(CallKind kind)
{
    for (const MethodName& m : methodNames)
        if (m.kind == kind)
            return m.name;
    return "?";
}

std::string RenderStateName(D3DRENDERSTATETYPE state)
{
    switch (state)
    {
    case D3DRS_ZENABLE: return "D3DRS_ZENABLE";
    case D3DRS_FILLMODE: return "D3DRS_FILLMODE";
    case D3DRS_SHADEMODE: return "D3DRS_SHADEMODE";
    case D3DRS_ZWRITEENABLE: return "D3DRS_ZWRITEENABLE";
    case D3DRS_ALPHATESTENABLE: return "D3DRS_ALPHATESTENABLE";
    case D3DRS_LASTPIXEL: return "D3DRS_LASTPIXEL";
    case D3DRS_SRCBLEND: return "D3DRS_SRCBLEND";
    case D3DRS_DESTBLEND: return "D3DRS_DESTBLEND";
    case D3DRS_CULLMODE: return "D3DRS_CULLMODE";
    case D3DRS_ZFUNC: return "D3DRS_ZFUNC";
    case D3DRS_ALPHAREF: return "D3DRS_ALPHAREF";
    case D3DRS_ALPHAFUNC: return "D3DRS_ALPHAFUNC";
    case D3DRS_DITHERENABLE: return "D3DRS_DITHERENABLE";
    case D3DRS_ALPHABLENDENABLE: return "D3DRS_ALPHABLENDENABLE";
    case D3DRS_FOGENABLE: return "D3DRS_FOGENABLE";
    case D3DRS_SPECULARENABLE: return "D3DRS_SPECULARENABLE";
    case D3DRS_LIGHTING: return "D3DRS_LIGHTING";
    case D3DRS_AMBIENT: return "D3DRS_AMBIENT";
    case D3DRS_COLORVERTEX: return "D3DRS_COLORVERTEX";
    case D3DRS_NORMALIZENORMALS: return "D3DRS_NORMALIZENORMALS";
    case D3DRS_DIFFUSEMATERIALSOURCE: return "D3DRS_DIFFUSEMATERIALSOURCE";
    case D3DRS_AMBIENTMATERIALSOURCE: return "D3DRS_AMBIENTMATERIALSOURCE";
    case D3DRS_BLENDOP: return "D3DRS_BLENDOP";
    }
    return std::to_string(int(state));
}

std::string TransformName(D3DTRANSFORMSTATETYPE type)
{
    switch (type)
    {
    case D3DTS_VIEW: return "D3DTS_VIEW";
    case D3DTS_PROJECTION: return "D3DTS_PROJECTION";
    case D3DTS_TEXTURE0: return "D3DTS_TEXTURE0";
    case D3DTS_WORLD: return "D3DTS_WORLD";
    }
    return std::to_string(int(type));
}

std::string PrimitiveTypeName(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST: return "D3DPT_POINTLIST";
    case D3DPT_LINELIST: return "D3DPT_LINELIST";
    case D3DPT_LINESTRIP: return "D3DPT_LINESTRIP";
    case D3DPT_TRIANGLELIST: return "D3DPT_TRIANGLELIST";
    case D3DPT_TRIANGLESTRIP: return "D3DPT_TRIANGLESTRIP";
    case D3DPT_TRIANGLEFAN: return "D3DPT_TRIANGLEFAN";
    }
    return std::to_string(int(type));
}

std::string FormatName(D3DFORMAT format)
{
    switch (format)
    {
    case D3DFMT_UNKNOWN: return "D3DFMT_UNKNOWN";
    case D3DFMT_R8G8B8: return "D3DFMT_R8G8B8";
    case D3DFMT_A8R8G8B8: return "D3DFMT_A8R8G8B8";
    case D3DFMT_X8R8G8B8: return "D3DFMT_X8R8G8B8";
    case D3DFMT_R5G6B5: return "D3DFMT_R5G6B5";
    case D3DFMT_D32: return "D3DFMT_D32";
    case D3DFMT_D24S8: return "D3DFMT_D24S8";
    case D3DFMT_D24X8: return "D3DFMT_D24X8";
    case D3DFMT_D16: return "D3DFMT_D16";
    case D3DFMT_VERTEXDATA: return "D3DFMT_VERTEXDATA";
    }
    return std::to_string(int(format));
}

std::string PoolName(D3DPOOL pool)
{
    switch (pool)
    {
    case D3DPOOL_DEFAULT: return "D3DPOOL_DEFAULT";
    case D3DPOOL_MANAGED: return "D3DPOOL_MANAGED";
    case D3DPOOL_SYSTEMMEM: return "D3DPOOL_SYSTEMMEM";
    case D3DPOOL_SCRATCH: return "D3DPOOL_SCRATCH";
    }
    return std::to_string(int(pool));
}

std::string SamplerStateName(D3DSAMPLERSTATETYPE type)
{
    switch (type)
    {
    case D3DSAMP_ADDRESSU: return "D3DSAMP_ADDRESSU";
    case D3DSAMP_ADDRESSV: return "D3DSAMP_ADDRESSV";
    case D3DSAMP_ADDRESSW: return "D3DSAMP_ADDRESSW";
    case D3DSAMP_BORDERCOLOR: return "D3DSAMP_BORDERCOLOR";
    case D3DSAMP_MAGFILTER: return "D3DSAMP_MAGFILTER";
    case D3DSAMP_MINFILTER: return "D3DSAMP_MINFILTER";
    case D3DSAMP_MIPFILTER: return "D3DSAMP_MIPFILTER";
    }
    return std::to_string(int(type));
}

std::string DeviceCall::Describe() const
{
    switch (kind)
    {
    case CallKind::CreateTexture:
        return Format("CreateTexture(%u, %u, %u, %u, %s, %s)", width, height, levels,
                      unsigned(usage), FormatName(format).c_str(), PoolName(pool).c_str()) +
               (created.empty() ? "" : " -> " + created);
    case CallKind::CreateVertexBuffer:
        return Format("CreateVertexBuffer(%u, %u, %s, %s)", length, unsigned(usage),
                      Hex(fvf).c_str(), PoolName(pool).c_str()) +
               (created.empty() ? "" : " -> " + created);
    case CallKind::UpdateTexture: return "UpdateTexture(" + source + ", " + texture + ")";
    case CallKind::BeginScene: return "BeginScene()";
    case CallKind::EndScene: return "EndScene()";
    case CallKind::Clear:
    {
        std::string flags;
        const char* names[] = {"D3DCLEAR_TARGET", "D3DCLEAR_ZBUFFER", "D3DCLEAR_STENCIL"};
        for (int i = 0; i < 3; i++)
            if (clearFlags & (1u << i))
                flags += (flags.empty() ? "" : "|") + std::string(names[i]);
        if (flags.empty() || (clearFlags & ~7u))
            flags = Hex(clearFlags);
        return Format("Clear(%u, %s, 0x%08X, %g, %u)", unsigned(rectCount), flags.c_str(),
                      unsigned(colour), double(z), unsigned(stencil));
    }
    case CallKind::Present: return "Present()";
    case CallKind::SetTransform: return "SetTransform(" + TransformName(transformType) + ")";
    case CallKind::SetMaterial: return "SetMaterial()";
    case CallKind::SetLight:
        return Format("SetLight(%u, %s)", unsigned(index),
                      !hasArgument                          ? "null"
                      : light.Type == D3DLIGHT_DIRECTIONAL ? "D3DLIGHT_DIRECTIONAL"
                      : light.Type == D3DLIGHT_POINT       ? "D3DLIGHT_POINT"
                      : light.Type == D3DLIGHT_SPOT        ? "D3DLIGHT_SPOT"
                                                           : "?");
    case CallKind::LightEnable: return Format("LightEnable(%u, %u)", unsigned(index), unsigned(value));
    case CallKind::SetRenderState:
        return "SetRenderState(" + RenderStateName(renderState) + ", " + std::to_string(value) +
               ")";
    case CallKind::SetTexture: return Format("SetTexture(%u, %s)", unsigned(index), texture.c_str());
    case CallKind::SetSamplerState:
        return Format("SetSamplerState(%u, %s, %u)", unsigned(index),
                      SamplerStateName(samplerState).c_str(), unsigned(value));
    case CallKind::DrawPrimitive:
        return Format("DrawPrimitive(%s, %u, %u)", PrimitiveTypeName(primitiveType).c_str(),
                      startVertex, primitiveCount);
    case CallKind::DrawPrimitiveUP:
        return Format("DrawPrimitiveUP(%s, %u, %u)", PrimitiveTypeName(primitiveType).c_str(),
                      primitiveCount, stride);
    case CallKind::SetFVF: return "SetFVF(" + Hex(fvf) + ")";
    case CallKind::SetStreamSource:
        return Format("SetStreamSource(%u, %s, %u, %u)", unsigned(index), vertexBuffer.c_str(),
                      offset, stride);
    case CallKind::Lock:
        return Format("Lock(%s, %u, %u, %u)", vertexBuffer.c_str(), lockOffset, lockSize,
                      unsigned(lockFlags));
    case CallKind::Unlock: return "Unlock(" + vertexBuffer + ")";
    case CallKind::LockRect:
        return Format("LockRect(%s, %u, %u)", texture.c_str(), unsigned(index), unsigned(lockFlags));
    case CallKind::UnlockRect: return Format("UnlockRect(%s, %u)", texture.c_str(), unsigned(index));
    case CallKind::Release: return "Release(" + created + ")";
    }
    return "?";
}

// ---------------------------------------------------------------------------------------
// Textures

MemoryTexture::MemoryTexture(MemoryDevice* device, int id, UINT width, UINT height, DWORD usage,
                             D3DFORMAT format, D3DPOOL pool)
    : device(device), id(id), width(width), height(height), usage(usage), format(format),
      pool(pool), texels(size_t(width) * height, 0u)
{
}

std::string MemoryTexture::Name() const { return "tex#" + std::to_string(id); }

ULONG MemoryTexture::AddRef() { return ++references; }

ULONG MemoryTexture::Release()
{
    if (references == 0)
        return 0;
    if (--references > 0)
        return references;
    MemoryDevice* owner = device;
    DeviceCall& call = owner->Record(CallKind::Release);
    call.created = Name();
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
    HRESULT injected;
    if (device->Injected(CallKind::LockRect, &injected))
        return device->Finish(call, injected);
    // Only textures the processor may touch can be locked: not the default pool unless
    // made dynamic.
    if (level != 0 || lockedRect == nullptr || locked ||
        (pool == D3DPOOL_DEFAULT && !(usage & D3DUSAGE_DYNAMIC)))
        return device->Finish(call, D3DERR_INVALIDCALL);
    size_t first = 0;
    if (rect != nullptr)
    {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || UINT(rect->right) > width || UINT(rect->bottom) > height)
            return device->Finish(call, D3DERR_INVALIDCALL);
        first = size_t(rect->top) * width + size_t(rect->left);
    }
    locked = true;
    lockedRect->Pitch = INT(width * 4);
    lockedRect->pBits = texels.data() + first;
    return device->Finish(call, D3D_OK);
}

HRESULT MemoryTexture::UnlockRect(UINT level)
{
    DeviceCall& call = device->Record(CallKind::UnlockRect);
    call.texture = Name();
    call.index = level;
    HRESULT injected;
    if (device->Injected(CallKind::UnlockRect, &injected))
        return device->Finish(call, injected);
    if (level != 0 || !locked)
        return device->Finish(call, D3DERR_INVALIDCALL);
    locked = false;
    return device->Finish(call, D3D_OK);
}

// ---------------------------------------------------------------------------------------
// Vertex buffers

MemoryVertexBuffer::MemoryVertexBuffer(MemoryDevice* device, int id, UINT length, DWORD usage,
                                       DWORD fvf, D3DPOOL pool)
    : device(device), id(id), usage(usage), fvf(fvf), pool(pool), bytes(length, 0)
{
}

std::string MemoryVertexBuffer::Name() const { return "vb#" + std::to_string(id); }

ULONG MemoryVertexBuffer::AddRef() { return ++references; }

ULONG MemoryVertexBuffer::Release()
{
    if (references == 0)
        return 0;
    if (--references > 0)
        return references;
    MemoryDevice* owner = device;
    DeviceCall& call = owner->Record(CallKind::Release);
    call.created = Name();
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
    HRESULT injected;
    if (device->Injected(CallKind::Lock, &injected))
        return device->Finish(call, injected);
    UINT length = UINT(bytes.size());
    // Size 0 means "to the end"; the locked range must lie inside the buffer.
    UINT size = sizeToLock == 0 ? (offsetToLock <= length ? length - offsetToLock : 0) : sizeToLock;
    if (data == nullptr || offsetToLock >= length || size > length - offsetToLock)
        return device->Finish(call, D3DERR_INVALIDCALL);
    *data = bytes.data() + offsetToLock;
    lockCount++;
    return device->Finish(call, D3D_OK);
}

HRESULT MemoryVertexBuffer::Unlock()
{
    DeviceCall& call = device->Record(CallKind::Unlock);
    call.vertexBuffer = Name();
    HRESULT injected;
    if (device->Injected(CallKind::Unlock, &injected))
        return device->Finish(call, injected);
    if (lockCount == 0)
        return device->Finish(call, D3DERR_INVALIDCALL);
    lockCount--;
    return device->Finish(call, D3D_OK);
}

// ---------------------------------------------------------------------------------------
// The device

MemoryDevice::MemoryDevice(HWND focusWindow, DWORD behaviorFlags,
                           const D3DPRESENT_PARAMETERS& parameters)
    : focusWindow(focusWindow), behaviorFlags(behaviorFlags), presentParameters(parameters),
      renderStates(DefaultRenderStates(parameters.EnableAutoDepthStencil != FALSE))
{
    for (D3DTRANSFORMSTATETYPE t : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_WORLD})
        transforms[t] = Identity();
    for (auto& sampler : samplerStates)
        sampler = DefaultSamplerStates();
}

MemoryDevice::~MemoryDevice() = default;

ULONG MemoryDevice::AddRef() { return ++references; }

ULONG MemoryDevice::Release()
{
    if (references == 0)
        return 0;
    if (--references == 0)
        Record(CallKind::Release).created = "device";
    return references; // the registry frees the memory later
}

DeviceCall& MemoryDevice::Record(CallKind kind)
{
    calls.emplace_back();
    calls.back().kind = kind;
    return calls.back();
}

bool MemoryDevice::Injected(CallKind kind, HRESULT* result)
{
    auto once = failNext.find(kind);
    if (once != failNext.end())
    {
        *result = once->second;
        failNext.erase(once);
        return true;
    }
    auto always = failAlways.find(kind);
    if (always != failAlways.end())
    {
        *result = always->second;
        return true;
    }
    return false;
}

HRESULT MemoryDevice::Finish(DeviceCall& call, HRESULT result)
{
    call.result = result;
    return result;
}

void MemoryDevice::FailNext(CallKind kind, HRESULT result) { failNext[kind] = result; }

bool MemoryDevice::FailNext(const char* method, HRESULT result)
{
    for (const MethodName& m : methodNames)
        if (method != nullptr && std::strcmp(m.name, method) == 0)
        {
            FailNext(m.kind, result);
            return true;
        }
    return false;
}

void MemoryDevice::FailAlways(CallKind kind, HRESULT result) { failAlways[kind] = result; }

void MemoryDevice::ClearFailures()
{
    failNext.clear();
    failAlways.clear();
}

std::vector<std::string> MemoryDevice::Descriptions() const
{
    std::vector<std::string> out;
    for (const DeviceCall& call : calls)
        out.push_back(call.Describe());
    return out;
}

std::vector<std::string> MemoryDevice::Descriptions(CallKind kind) const
{
    std::vector<std::string> out;
    for (const DeviceCall& call : calls)
        if (call.kind == kind)
            out.push_back(call.Describe());
    return out;
}

size_t MemoryDevice::Count(CallKind kind) const
{
    return size_t(std::count_if(calls.begin(), calls.end(),
                                [kind](const DeviceCall& c) { return c.kind == kind; }));
}

DWORD MemoryDevice::RenderState(D3DRENDERSTATETYPE state) const
{
    auto it = renderStates.find(state);
    return it == renderStates.end() ? 0 : it->second;
}

DWORD MemoryDevice::SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const
{
    if (sampler >= 16)
        return 0;
    auto it = samplerStates[sampler].find(type);
    return it == samplerStates[sampler].end() ? 0 : it->second;
}

const D3DMATRIX& MemoryDevice::Transform(D3DTRANSFORMSTATETYPE type) const
{
    static const D3DMATRIX identity = Identity();
    auto it = transforms.find(type);
    return it == transforms.end() ? identity : it->second;
}

MemoryTexture* MemoryDevice::FindTexture(IDirect3DBaseTexture9* texture) const
{
    for (MemoryTexture* t : liveTextures)
        if (static_cast<IDirect3DBaseTexture9*>(t) == texture)
            return t;
    return nullptr;
}

MemoryVertexBuffer* MemoryDevice::FindVertexBuffer(IDirect3DVertexBuffer9* buffer) const
{
    for (MemoryVertexBuffer* b : liveBuffers)
        if (static_cast<IDirect3DVertexBuffer9*>(b) == buffer)
            return b;
    return nullptr;
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
    liveTextures.erase(std::remove(liveTextures.begin(), liveTextures.end(), texture),
                       liveTextures.end());
    // A released texture may still be bound, as on Direct3D; drop it so nothing points
    // at freed memory.
    for (IDirect3DBaseTexture9*& bound : textures)
        if (bound == texture)
            bound = nullptr;
}

void MemoryDevice::Forget(MemoryVertexBuffer* buffer)
{
    liveBuffers.erase(std::remove(liveBuffers.begin(), liveBuffers.end(), buffer),
                      liveBuffers.end());
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
    HRESULT injected;
    if (Injected(CallKind::CreateTexture, &injected))
        return Finish(call, injected);
    if (texture == nullptr || sharedHandle != nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    *texture = nullptr;
    if (width == 0 || height == 0 || width > maxTextureSize || height > maxTextureSize)
        return Finish(call, D3DERR_INVALIDCALL);
    // One level is all this device keeps; 0 would ask for a whole chain of smaller ones.
    if (levels != 1)
        return Finish(call, D3DERR_INVALIDCALL);
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)
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
    HRESULT injected;
    if (Injected(CallKind::CreateVertexBuffer, &injected))
        return Finish(call, injected);
    if (vertexBuffer == nullptr || sharedHandle != nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    *vertexBuffer = nullptr;
    // A buffer with a vertex format must hold at least one vertex of it.
    if (length == 0 || (fvf != 0 && length < VertexSize(fvf)))
        return Finish(call, D3DERR_INVALIDCALL);
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM)
        return Finish(call, D3DERR_INVALIDCALL);
    if (length > 256u * 1024u * 1024u)
        return Finish(call, D3DERR_OUTOFVIDEOMEMORY);
    MemoryVertexBuffer* made = new MemoryVertexBuffer(this, nextBufferId++, length, usage, fvf, pool);
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
    HRESULT injected;
    if (Injected(CallKind::UpdateTexture, &injected))
        return Finish(call, injected);
    MemoryTexture* from = FindTexture(source);
    MemoryTexture* to = FindTexture(destination);
    // From system memory to the default pool, same size and format, neither locked.
    if (from == nullptr || to == nullptr || from->pool != D3DPOOL_SYSTEMMEM ||
        to->pool != D3DPOOL_DEFAULT || from->width != to->width || from->height != to->height ||
        from->format != to->format || from->locked || to->locked)
        return Finish(call, D3DERR_INVALIDCALL);
    to->texels = from->texels;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::BeginScene()
{
    DeviceCall& call = Record(CallKind::BeginScene);
    HRESULT injected;
    if (Injected(CallKind::BeginScene, &injected))
        return Finish(call, injected);
    if (inScene)
        return Finish(call, D3DERR_INVALIDCALL);
    inScene = true;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::EndScene()
{
    DeviceCall& call = Record(CallKind::EndScene);
    HRESULT injected;
    if (Injected(CallKind::EndScene, &injected))
        return Finish(call, injected);
    if (!inScene)
        return Finish(call, D3DERR_INVALIDCALL);
    inScene = false;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
                            float z, DWORD stencil)
{
    DeviceCall& call = Record(CallKind::Clear);
    call.rectCount = count;
    call.clearFlags = flags;
    call.colour = colour;
    call.z = z;
    call.stencil = stencil;
    HRESULT injected;
    if (Injected(CallKind::Clear, &injected))
        return Finish(call, injected);
    bool depth = presentParameters.EnableAutoDepthStencil != FALSE;
    bool stencilBuffer = depth && presentParameters.AutoDepthStencilFormat == D3DFMT_D24S8;
    if ((count > 0 && rects == nullptr) || flags == 0 || (flags & ~7u) ||
        ((flags & D3DCLEAR_ZBUFFER) && !depth) || ((flags & D3DCLEAR_STENCIL) && !stencilBuffer) ||
        z < 0.0f || z > 1.0f)
        return Finish(call, D3DERR_INVALIDCALL);
    if (flags & D3DCLEAR_TARGET)
        clearColour = colour;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::Present(const RECT* sourceRect, const RECT* destRect,
                              HWND destWindowOverride, const RGNDATA* dirtyRegion)
{
    (void)destWindowOverride;
    (void)dirtyRegion;
    DeviceCall& call = Record(CallKind::Present);
    HRESULT injected;
    if (Injected(CallKind::Present, &injected))
        return Finish(call, injected);
    // A full-screen swap chain takes no rectangles, and a frame is shown only once its
    // scene has ended.
    if (inScene || (!presentParameters.Windowed && (sourceRect || destRect)))
        return Finish(call, D3DERR_INVALIDCALL);
    presents++;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    DeviceCall& call = Record(CallKind::SetTransform);
    call.transformType = state;
    call.hasArgument = matrix != nullptr;
    if (matrix)
        call.matrix = *matrix;
    HRESULT injected;
    if (Injected(CallKind::SetTransform, &injected))
        return Finish(call, injected);
    if (matrix == nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    transforms[state] = *matrix;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetMaterial(const D3DMATERIAL9* newMaterial)
{
    DeviceCall& call = Record(CallKind::SetMaterial);
    call.hasArgument = newMaterial != nullptr;
    if (newMaterial)
        call.material = *newMaterial;
    HRESULT injected;
    if (Injected(CallKind::SetMaterial, &injected))
        return Finish(call, injected);
    if (newMaterial == nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    material = *newMaterial;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    DeviceCall& call = Record(CallKind::SetLight);
    call.index = index;
    call.hasArgument = light != nullptr;
    if (light)
        call.light = *light;
    HRESULT injected;
    if (Injected(CallKind::SetLight, &injected))
        return Finish(call, injected);
    if (light == nullptr || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return Finish(call, D3DERR_INVALIDCALL);
    lights[index] = *light;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::LightEnable(DWORD index, BOOL enable)
{
    DeviceCall& call = Record(CallKind::LightEnable);
    call.index = index;
    call.value = DWORD(enable);
    HRESULT injected;
    if (Injected(CallKind::LightEnable, &injected))
        return Finish(call, injected);
    // Enabling a light that was never set gives Direct3D's default light: white,
    // directional, pointing along +z.
    if (lights.find(index) == lights.end())
    {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        light.Direction = {0.0f, 0.0f, 1.0f};
        lights[index] = light;
    }
    lightEnabled[index] = enable != FALSE;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    DeviceCall& call = Record(CallKind::SetRenderState);
    call.renderState = state;
    call.value = value;
    HRESULT injected;
    if (Injected(CallKind::SetRenderState, &injected))
        return Finish(call, injected);
    renderStates[state] = value;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    DeviceCall& call = Record(CallKind::SetTexture);
    call.index = stage;
    call.texture = NameOf(texture);
    call.texturePointer = texture;
    HRESULT injected;
    if (Injected(CallKind::SetTexture, &injected))
        return Finish(call, injected);
    if (stage >= 8)
        return Finish(call, D3DERR_INVALIDCALL);
    if (texture != nullptr)
    {
        // Only this device's textures, and none from system memory, can be sampled.
        MemoryTexture* t = FindTexture(texture);
        if (t == nullptr || t->pool == D3DPOOL_SYSTEMMEM || t->pool == D3DPOOL_SCRATCH)
            return Finish(call, D3DERR_INVALIDCALL);
    }
    textures[stage] = texture;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    DeviceCall& call = Record(CallKind::SetSamplerState);
    call.index = sampler;
    call.samplerState = type;
    call.value = value;
    HRESULT injected;
    if (Injected(CallKind::SetSamplerState, &injected))
        return Finish(call, injected);
    if (sampler >= 16)
        return Finish(call, D3DERR_INVALIDCALL);
    samplerStates[sampler][type] = value;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::CheckDraw(DeviceCall& call, D3DPRIMITIVETYPE type, UINT primitiveCount)
{
    call.primitiveType = type;
    call.primitiveCount = primitiveCount;
    call.texture = NameOf(textures[0]);
    call.texturePointer = textures[0];
    call.fvf = fvf;
    UINT vertices;
    if (!VerticesFor(type, primitiveCount, &vertices))
        return D3DERR_INVALIDCALL;
    // Drawing happens between BeginScene and EndScene, with a vertex format set.
    if (!inScene || fvf == 0)
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT MemoryDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    DeviceCall& call = Record(CallKind::DrawPrimitive);
    call.startVertex = startVertex;
    call.vertexBuffer = NameOf(streamSource);
    call.offset = streamOffset;
    call.stride = streamStride;
    HRESULT checked = CheckDraw(call, type, primitiveCount);
    HRESULT injected;
    if (Injected(CallKind::DrawPrimitive, &injected))
        return Finish(call, injected);
    if (FAILED(checked))
        return Finish(call, checked);
    MemoryVertexBuffer* buffer = FindVertexBuffer(streamSource);
    if (buffer == nullptr || streamStride == 0 || buffer->lockCount > 0)
        return Finish(call, D3DERR_INVALIDCALL);
    if (primitiveCount == 0)
        return Finish(call, D3D_OK);
    UINT vertices = 0;
    VerticesFor(type, primitiveCount, &vertices);
    uint64_t end = uint64_t(streamOffset) + (uint64_t(startVertex) + vertices) * streamStride;
    if (end > buffer->bytes.size())
        return Finish(call, D3DERR_INVALIDCALL);
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                      const void* vertexData, UINT vertexStride)
{
    DeviceCall& call = Record(CallKind::DrawPrimitiveUP);
    call.stride = vertexStride;
    HRESULT checked = CheckDraw(call, type, primitiveCount);
    UINT vertices = 0;
    if (SUCCEEDED(checked) && vertexData != nullptr && vertexStride != 0)
    {
        VerticesFor(type, primitiveCount, &vertices);
        const uint8_t* bytes = static_cast<const uint8_t*>(vertexData);
        call.vertices.assign(bytes, bytes + size_t(vertices) * vertexStride);
    }
    HRESULT injected;
    if (Injected(CallKind::DrawPrimitiveUP, &injected))
        return Finish(call, injected);
    if (FAILED(checked))
        return Finish(call, checked);
    if (vertexData == nullptr || vertexStride == 0 || primitiveCount == 0)
        return Finish(call, D3DERR_INVALIDCALL);
    // Direct3D leaves stream 0 unset after drawing from user memory.
    streamSource = nullptr;
    streamOffset = 0;
    streamStride = 0;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetFVF(DWORD newFvf)
{
    DeviceCall& call = Record(CallKind::SetFVF);
    call.fvf = newFvf;
    HRESULT injected;
    if (Injected(CallKind::SetFVF, &injected))
        return Finish(call, injected);
    fvf = newFvf;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                      UINT offsetInBytes, UINT stride)
{
    DeviceCall& call = Record(CallKind::SetStreamSource);
    call.index = streamNumber;
    call.vertexBuffer = NameOf(streamData);
    call.offset = offsetInBytes;
    call.stride = stride;
    HRESULT injected;
    if (Injected(CallKind::SetStreamSource, &injected))
        return Finish(call, injected);
    if (streamNumber >= 16 || (streamData != nullptr && FindVertexBuffer(streamData) == nullptr))
        return Finish(call, D3DERR_INVALIDCALL);
    if (streamNumber == 0)
    {
        streamSource = streamData;
        streamOffset = offsetInBytes;
        streamStride = stride;
    }
    return Finish(call, D3D_OK);
}

// ---------------------------------------------------------------------------------------
// The Direct3D object

ULONG MemoryDirect3D::AddRef() { return ++references; }

ULONG MemoryDirect3D::Release()
{
    if (references == 0)
        return 0;
    if (--references > 0)
        return references;
    delete this;
    return 0;
}

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
    DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                        D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                        D3DCREATE_MIXED_VERTEXPROCESSING);
    if ((processing & (processing - 1)) != 0 || processing == 0)
        return D3DERR_INVALIDCALL;
    if (focusWindow == nullptr && p.hDeviceWindow == nullptr)
        return D3DERR_INVALIDCALL;
    if (!p.Windowed)
    {
        // Full screen needs a real mode: a size, and the adapter's formats.
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0)
            return D3DERR_INVALIDCALL;
        if (p.BackBufferWidth > MemoryDevice::maxTextureSize ||
            p.BackBufferHeight > MemoryDevice::maxTextureSize)
            return D3DERR_NOTAVAILABLE;
        if (p.BackBufferFormat != D3DFMT_X8R8G8B8 && p.BackBufferFormat != D3DFMT_A8R8G8B8 &&
            p.BackBufferFormat != D3DFMT_R5G6B5)
            return D3DERR_INVALIDCALL;
    }
    if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY ||
        p.BackBufferCount > 3)
        return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil &&
        p.AutoDepthStencilFormat != D3DFMT_D16 && p.AutoDepthStencilFormat != D3DFMT_D24S8 &&
        p.AutoDepthStencilFormat != D3DFMT_D24X8 && p.AutoDepthStencilFormat != D3DFMT_D32)
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

void FailNextMemoryDeviceCreation(HRESULT result) { Devices().failNextCreation = result; }

} // namespace port
