// A Direct3D 9 device that draws nothing: vertex buffers and textures live in memory and
// every call is recorded in order, so tests and headless runs can see exactly what the
// game asked of the device. It checks its arguments and answers bad ones the way a real
// device does, and a test can make any call fail on purpose.
#pragma once

#include "port/D3D9.h"
#include "port/d3d/DeviceMethods.h"
#include "port/d3d/DeviceRules.h"
#include "port/RefCounted.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace port
{

enum class CallKind
{
    CreateTexture,
    CreateVertexBuffer,
    TestCooperativeLevel,
    Reset,
    UpdateTexture,
    BeginScene,
    EndScene,
    Clear,
    Present,
    SetTransform,
    SetMaterial,
    SetLight,
    LightEnable,
    SetRenderState,
    SetTexture,
    SetSamplerState,
    DrawPrimitive,
    DrawPrimitiveUP,
    SetFVF,
    SetStreamSource,
    Lock,       // IDirect3DVertexBuffer9::Lock
    Unlock,     // IDirect3DVertexBuffer9::Unlock
    LockRect,   // IDirect3DTexture9::LockRect
    UnlockRect, // IDirect3DTexture9::UnlockRect
    Release,    // the last reference to a texture, vertex buffer or the device went
};

// One recorded call. Only the fields that belong to its kind are meaningful; the rest
// stay zero.
struct DeviceCall
{
    CallKind kind = CallKind::BeginScene;
    HRESULT result = D3D_OK;

    D3DRENDERSTATETYPE renderState = D3DRENDERSTATETYPE(0);
    D3DTRANSFORMSTATETYPE transformType = D3DTRANSFORMSTATETYPE(0);
    D3DSAMPLERSTATETYPE samplerState = D3DSAMPLERSTATETYPE(0);
    DWORD value = 0; // render state or sampler state value; LightEnable's flag
    DWORD index = 0; // light index, texture stage, sampler, stream number or mip level
    D3DMATRIX matrix{};
    D3DLIGHT9 light{};
    D3DMATERIAL9 material{};
    bool hasArgument = true; // false when a null pointer was passed for a struct

    // Textures are named "tex#N" and vertex buffers "vb#N" in the order the device made
    // them; "null" for none. For draws, the texture bound to stage 0 at the time.
    std::string texture;
    std::string source; // UpdateTexture's source
    std::string vertexBuffer;
    IDirect3DBaseTexture9* texturePointer = nullptr;

    DWORD fvf = 0; // SetFVF's value; for draws, the format in force
    UINT offset = 0, stride = 0;
    D3DPRIMITIVETYPE primitiveType = D3DPRIMITIVETYPE(0);
    UINT startVertex = 0, primitiveCount = 0;
    std::vector<uint8_t> vertices; // DrawPrimitiveUP's vertex data, copied

    DWORD rectCount = 0;
    DWORD clearFlags = 0;
    D3DCOLOR colour = 0;
    float z = 0.0f;
    DWORD stencil = 0;

    UINT width = 0, height = 0, levels = 0;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    UINT length = 0; // CreateVertexBuffer
    UINT lockOffset = 0, lockSize = 0;
    DWORD lockFlags = 0;
    std::string created; // name of what a Create call made, when it succeeded

    // For example "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)", "SetTransform(D3DTS_VIEW)",
    // "DrawPrimitive(D3DPT_TRIANGLELIST, 96774, 2)", "SetTexture(0, tex#3)". The result is
    // not part of it.
    std::string Describe() const;
};

class MemoryDevice;

class MemoryTexture : public RefCounted<IDirect3DTexture9>, public d3d::TextureLevel
{
  public:
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // The texel fields (width, height, usage, format, pool, locked, texels) come from
    // TextureLevel.
    MemoryDevice* device;
    int id;

    std::string Name() const;
    uint32_t Texel(UINT x, UINT y) const { return texels[size_t(y) * width + x]; }

  private:
    friend class MemoryDevice;
    MemoryTexture(MemoryDevice* device, int id, UINT width, UINT height, DWORD usage,
                  D3DFORMAT format, D3DPOOL pool);
    ~MemoryTexture() override = default;
    ULONG LastReference() override;
};

class MemoryVertexBuffer : public RefCounted<IDirect3DVertexBuffer9>, public d3d::VertexBytes
{
  public:
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    // fvf, lockCount and bytes come from VertexBytes.
    MemoryDevice* device;
    int id;
    DWORD usage;
    D3DPOOL pool;

    std::string Name() const;

  private:
    friend class MemoryDevice;
    MemoryVertexBuffer(MemoryDevice* device, int id, UINT length, DWORD usage, DWORD fvf,
                       D3DPOOL pool);
    ~MemoryVertexBuffer() override = default;
    ULONG LastReference() override;
};

class MemoryDevice : public RefCounted<IDirect3DDevice9>
{
  public:
    // What CreateDevice was given.
    MemoryDevice(HWND focusWindow, DWORD behaviorFlags, const D3DPRESENT_PARAMETERS& parameters);

    PORT_IDIRECT3DDEVICE9_METHODS

    // --- What tests read -------------------------------------------------------------

    std::vector<DeviceCall> calls;
    size_t Count(CallKind kind) const;
    void ClearCalls() { calls.clear(); }

    // Creation
    HWND focusWindow;
    DWORD behaviorFlags;
    D3DPRESENT_PARAMETERS presentParameters;

    // Current state. Render states start at Direct3D's defaults; transforms at identity.
    std::map<D3DRENDERSTATETYPE, DWORD> renderStates;
    std::map<D3DTRANSFORMSTATETYPE, D3DMATRIX> transforms;
    std::map<DWORD, D3DLIGHT9> lights;
    std::map<DWORD, bool> lightEnabled;
    D3DMATERIAL9 material{};
    IDirect3DBaseTexture9* textures[d3d::MAX_TEXTURE_STAGES] = {};
    std::map<D3DSAMPLERSTATETYPE, DWORD> samplerStates[d3d::MAX_SAMPLERS];
    DWORD fvf = 0;
    IDirect3DVertexBuffer9* streamSource = nullptr;
    UINT streamOffset = 0, streamStride = 0;
    bool inScene = false;
    int presents = 0;
    // What TestCooperativeLevel answers. A test acts out a lost device by setting it to
    // D3DERR_DEVICELOST (Present then fails so), then to D3DERR_DEVICENOTRESET; a
    // successful Reset makes it D3D_OK again.
    HRESULT cooperativeLevel = D3D_OK;
    D3DCOLOR clearColour = 0; // the colour of the last clear of the target

    DWORD RenderState(D3DRENDERSTATETYPE state) const;
    DWORD SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const;
    const D3DMATRIX& Transform(D3DTRANSFORMSTATETYPE type) const;
    // Reference count: the game's own references plus one per live resource.
    ULONG References() const { return references; }
    bool Released() const { return references == 0; }

    // The device's own texture or vertex buffer behind a pointer, or null when the
    // pointer is not one of this device's live resources.
    MemoryTexture* FindTexture(IDirect3DBaseTexture9* texture) const;
    MemoryVertexBuffer* FindVertexBuffer(IDirect3DVertexBuffer9* buffer) const;
    const std::vector<MemoryTexture*>& Textures() const { return liveTextures; }
    const std::vector<MemoryVertexBuffer*>& VertexBuffers() const { return liveBuffers; }
    std::string NameOf(IDirect3DBaseTexture9* texture) const;
    std::string NameOf(IDirect3DVertexBuffer9* buffer) const;

    // --- Failure injection -------------------------------------------------------------

    // The next call of this kind (or of the method with this name, for example
    // "Present" or "LockRect") returns the result instead of doing its work.
    void FailNext(CallKind kind, HRESULT result);
    bool FailNext(const char* method, HRESULT result);
    // Every call of this kind returns the result until ClearFailures.
    void FailAlways(CallKind kind, HRESULT result);
    void ClearFailures();

    // Largest texture side; Direct3D 9 hardware commonly has 4096 or more.
    static const UINT MAX_TEXTURE_SIZE = 8192;

    // Only the port's registry of devices deletes one (see LastMemoryDevice).
    ~MemoryDevice() override;

  private:
    friend class MemoryTexture;
    friend class MemoryVertexBuffer;

    // The device records its own last release and stays in memory for the registry.
    ULONG LastReference() override;
    DeviceCall& Record(CallKind kind);
    // Whether a failure was injected for the call's kind; if so the call carries it.
    bool Injected(DeviceCall& call);
    HRESULT Finish(DeviceCall& call, HRESULT result);
    void Forget(MemoryTexture* texture);
    void Forget(MemoryVertexBuffer* buffer);
    void RecordDraw(DeviceCall& call, D3DPRIMITIVETYPE type, UINT primitiveCount);

    int nextTextureId = 1;
    int nextBufferId = 1;
    std::vector<MemoryTexture*> liveTextures;
    std::vector<MemoryVertexBuffer*> liveBuffers;
    std::map<CallKind, HRESULT> failNext;
    std::map<CallKind, HRESULT> failAlways;
};

// The Direct3D object of headless runs: every device it creates is a MemoryDevice.
class MemoryDirect3D : public RefCounted<IDirect3D9>
{
  public:
    MemoryDirect3D() = default;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice9** returnedDeviceInterface) override;

  private:
    ~MemoryDirect3D() override = default;
};

// The most recently created memory device, or null. A device whose last reference went
// stays readable here until the next one is created, so a test can look at what a game
// did after it shut down.
MemoryDevice* LastMemoryDevice();

// The next MemoryDirect3D::CreateDevice fails with this result (once).
void FailNextMemoryDeviceCreation(HRESULT result);

// Names used in descriptions, for example "D3DRS_LIGHTING"; the number when unknown.
std::string RenderStateName(D3DRENDERSTATETYPE state);
std::string TransformName(D3DTRANSFORMSTATETYPE type);
std::string PrimitiveTypeName(D3DPRIMITIVETYPE type);
std::string FormatName(D3DFORMAT format);
std::string PoolName(D3DPOOL pool);
std::string SamplerStateName(D3DSAMPLERSTATETYPE type);

} // namespace port
