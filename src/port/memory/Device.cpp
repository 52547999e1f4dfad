// The memory device's state and drawing: what each call checks and changes, as a
// Direct3D 9 device does, without drawing a pixel.
#include "port/MemoryDevice.h"

namespace port
{
namespace
{
// A struct passed by pointer is copied into the record; a null one is noted.
template <class T> void RecordArgument(DeviceCall& call, T* field, const T* argument)
{
    call.hasArgument = argument != nullptr;
    if (argument)
        *field = *argument;
}
} // namespace

MemoryDevice::MemoryDevice(HWND focusWindow, DWORD behaviorFlags,
                           const D3DPRESENT_PARAMETERS& parameters)
    : focusWindow(focusWindow), behaviorFlags(behaviorFlags), presentParameters(parameters),
      renderStates(d3d::DefaultRenderStates(parameters.EnableAutoDepthStencil != FALSE))
{
    for (D3DTRANSFORMSTATETYPE t : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_WORLD})
        transforms[t] = d3d::Identity();
    for (auto& sampler : samplerStates)
        sampler = d3d::DefaultSamplerStates();
}

MemoryDevice::~MemoryDevice() = default;

ULONG MemoryDevice::LastReference()
{
    Record(CallKind::Release).created = "device";
    return 0; // the registry frees the memory later
}

DWORD MemoryDevice::RenderState(D3DRENDERSTATETYPE state) const
{
    auto it = renderStates.find(state);
    return it == renderStates.end() ? 0 : it->second;
}

DWORD MemoryDevice::SamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const
{
    if (sampler >= d3d::MAX_SAMPLERS)
        return 0;
    auto it = samplerStates[sampler].find(type);
    return it == samplerStates[sampler].end() ? 0 : it->second;
}

const D3DMATRIX& MemoryDevice::Transform(D3DTRANSFORMSTATETYPE type) const
{
    static const D3DMATRIX identity = d3d::Identity();
    auto it = transforms.find(type);
    return it == transforms.end() ? identity : it->second;
}

HRESULT MemoryDevice::BeginScene()
{
    DeviceCall& call = Record(CallKind::BeginScene);
    if (Injected(call))
        return call.result;
    if (inScene)
        return Finish(call, D3DERR_INVALIDCALL);
    inScene = true;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::EndScene()
{
    DeviceCall& call = Record(CallKind::EndScene);
    if (Injected(call))
        return call.result;
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
    if (Injected(call))
        return call.result;
    bool depth = presentParameters.EnableAutoDepthStencil != FALSE;
    bool stencilBuffer = depth && presentParameters.AutoDepthStencilFormat == D3DFMT_D24S8;
    if (!d3d::ValidClear(count, rects, flags, z, depth, stencilBuffer))
        return Finish(call, D3DERR_INVALIDCALL);
    if (flags & D3DCLEAR_TARGET)
        clearColour = colour;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                              const RGNDATA* dirtyRegion)
{
    (void)destWindowOverride;
    (void)dirtyRegion;
    DeviceCall& call = Record(CallKind::Present);
    if (Injected(call))
        return call.result;
    if (!d3d::ValidPresent(inScene, presentParameters.Windowed != FALSE, sourceRect, destRect))
        return Finish(call, D3DERR_INVALIDCALL);
    if (cooperativeLevel != D3D_OK)
        return Finish(call, D3DERR_DEVICELOST);
    presents++;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::TestCooperativeLevel()
{
    DeviceCall& call = Record(CallKind::TestCooperativeLevel);
    if (Injected(call))
        return call.result;
    return Finish(call, cooperativeLevel);
}

HRESULT MemoryDevice::Reset(D3DPRESENT_PARAMETERS* parameters)
{
    DeviceCall& call = Record(CallKind::Reset);
    if (Injected(call))
        return call.result;
    // As on Direct3D: only a device that may be reset, with every default-pool resource
    // released first.
    bool defaultPoolAlive = false;
    for (const MemoryTexture* t : liveTextures)
        defaultPoolAlive = defaultPoolAlive || t->pool == D3DPOOL_DEFAULT;
    for (const MemoryVertexBuffer* b : liveBuffers)
        defaultPoolAlive = defaultPoolAlive || b->pool == D3DPOOL_DEFAULT;
    if (parameters == nullptr || cooperativeLevel == D3DERR_DEVICELOST || defaultPoolAlive ||
        (!parameters->Windowed && (parameters->BackBufferWidth > d3d::MAX_BACK_BUFFER_SIDE ||
                                   parameters->BackBufferHeight > d3d::MAX_BACK_BUFFER_SIDE)))
        return Finish(call, D3DERR_INVALIDCALL);
    presentParameters = *parameters;
    // Everything the device held goes back to its defaults.
    renderStates = d3d::DefaultRenderStates(parameters->EnableAutoDepthStencil != FALSE);
    for (auto& transform : transforms)
        transform.second = d3d::Identity();
    for (auto& sampler : samplerStates)
        sampler = d3d::DefaultSamplerStates();
    lights.clear();
    lightEnabled.clear();
    material = D3DMATERIAL9{};
    for (IDirect3DBaseTexture9*& t : textures)
        t = nullptr;
    fvf = 0;
    streamSource = nullptr;
    streamOffset = streamStride = 0;
    inScene = false;
    cooperativeLevel = D3D_OK;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    DeviceCall& call = Record(CallKind::SetTransform);
    call.transformType = state;
    RecordArgument(call, &call.matrix, matrix);
    if (Injected(call))
        return call.result;
    if (matrix == nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    transforms[state] = *matrix;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetMaterial(const D3DMATERIAL9* newMaterial)
{
    DeviceCall& call = Record(CallKind::SetMaterial);
    RecordArgument(call, &call.material, newMaterial);
    if (Injected(call))
        return call.result;
    if (newMaterial == nullptr)
        return Finish(call, D3DERR_INVALIDCALL);
    material = *newMaterial;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    DeviceCall& call = Record(CallKind::SetLight);
    call.index = index;
    RecordArgument(call, &call.light, light);
    if (Injected(call))
        return call.result;
    if (!d3d::ValidLight(light))
        return Finish(call, D3DERR_INVALIDCALL);
    lights[index] = *light;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::LightEnable(DWORD index, BOOL enable)
{
    DeviceCall& call = Record(CallKind::LightEnable);
    call.index = index;
    call.value = DWORD(enable);
    if (Injected(call))
        return call.result;
    // Enabling a light that was never set gives Direct3D's default light.
    if (lights.find(index) == lights.end())
        lights[index] = d3d::DefaultLight();
    lightEnabled[index] = enable != FALSE;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    DeviceCall& call = Record(CallKind::SetRenderState);
    call.renderState = state;
    call.value = value;
    if (Injected(call))
        return call.result;
    renderStates[state] = value;
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    DeviceCall& call = Record(CallKind::SetTexture);
    call.index = stage;
    call.texture = NameOf(texture);
    call.texturePointer = texture;
    if (Injected(call))
        return call.result;
    if (stage >= d3d::MAX_TEXTURE_STAGES)
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
    if (Injected(call))
        return call.result;
    if (sampler >= d3d::MAX_SAMPLERS)
        return Finish(call, D3DERR_INVALIDCALL);
    samplerStates[sampler][type] = value;
    return Finish(call, D3D_OK);
}

void MemoryDevice::RecordDraw(DeviceCall& call, D3DPRIMITIVETYPE type, UINT primitiveCount)
{
    call.primitiveType = type;
    call.primitiveCount = primitiveCount;
    call.texture = NameOf(textures[0]);
    call.texturePointer = textures[0];
    call.fvf = fvf;
}

HRESULT MemoryDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    DeviceCall& call = Record(CallKind::DrawPrimitive);
    call.startVertex = startVertex;
    call.vertexBuffer = NameOf(streamSource);
    call.offset = streamOffset;
    call.stride = streamStride;
    RecordDraw(call, type, primitiveCount);
    if (Injected(call))
        return call.result;
    if (!d3d::ValidDraw(type, primitiveCount, inScene, fvf) ||
        !d3d::StreamHolds(FindVertexBuffer(streamSource), streamOffset, streamStride, type,
                          startVertex, primitiveCount))
        return Finish(call, D3DERR_INVALIDCALL);
    return Finish(call, D3D_OK);
}

HRESULT MemoryDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                      const void* vertexData, UINT vertexStride)
{
    DeviceCall& call = Record(CallKind::DrawPrimitiveUP);
    call.stride = vertexStride;
    RecordDraw(call, type, primitiveCount);
    bool valid = d3d::ValidDraw(type, primitiveCount, inScene, fvf);
    if (valid && vertexData != nullptr && vertexStride != 0)
    {
        UINT vertices = 0;
        d3d::VerticesFor(type, primitiveCount, &vertices);
        const uint8_t* bytes = static_cast<const uint8_t*>(vertexData);
        call.vertices.assign(bytes, bytes + size_t(vertices) * vertexStride);
    }
    if (Injected(call))
        return call.result;
    if (!valid || vertexData == nullptr || vertexStride == 0 || primitiveCount == 0)
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
    if (Injected(call))
        return call.result;
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
    if (Injected(call))
        return call.result;
    if (streamNumber >= d3d::MAX_STREAMS ||
        (streamData != nullptr && FindVertexBuffer(streamData) == nullptr))
        return Finish(call, D3DERR_INVALIDCALL);
    if (streamNumber == 0)
    {
        streamSource = streamData;
        streamOffset = offsetInBytes;
        streamStride = stride;
    }
    return Finish(call, D3D_OK);
}
} // namespace port
