// The memory device's record of calls: their names, their descriptions, and the
// failures a test injects into them.
#include "port/MemoryDevice.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

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

std::string Hex(DWORD value)
{
    return Format("0x%X", unsigned(value));
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
    {"TestCooperativeLevel", CallKind::TestCooperativeLevel},
    {"Reset", CallKind::Reset},
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

// Each names itself as its enumerator is spelled.
#define NAME(value)                                                                                \
    case value:                                                                                    \
        return #value;

std::string RenderStateName(D3DRENDERSTATETYPE state)
{
    switch (state)
    {
        NAME(D3DRS_ZENABLE)
        NAME(D3DRS_FILLMODE)
        NAME(D3DRS_SHADEMODE)
        NAME(D3DRS_ZWRITEENABLE)
        NAME(D3DRS_ALPHATESTENABLE)
        NAME(D3DRS_LASTPIXEL)
        NAME(D3DRS_SRCBLEND)
        NAME(D3DRS_DESTBLEND)
        NAME(D3DRS_CULLMODE)
        NAME(D3DRS_ZFUNC)
        NAME(D3DRS_ALPHAREF)
        NAME(D3DRS_ALPHAFUNC)
        NAME(D3DRS_DITHERENABLE)
        NAME(D3DRS_ALPHABLENDENABLE)
        NAME(D3DRS_FOGENABLE)
        NAME(D3DRS_SPECULARENABLE)
        NAME(D3DRS_LIGHTING)
        NAME(D3DRS_AMBIENT)
        NAME(D3DRS_COLORVERTEX)
        NAME(D3DRS_NORMALIZENORMALS)
        NAME(D3DRS_DIFFUSEMATERIALSOURCE)
        NAME(D3DRS_AMBIENTMATERIALSOURCE)
        NAME(D3DRS_BLENDOP)
    }
    return std::to_string(int(state));
}

std::string TransformName(D3DTRANSFORMSTATETYPE type)
{
    switch (type)
    {
        NAME(D3DTS_VIEW)
        NAME(D3DTS_PROJECTION)
        NAME(D3DTS_TEXTURE0)
        NAME(D3DTS_WORLD)
    }
    return std::to_string(int(type));
}

std::string PrimitiveTypeName(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
        NAME(D3DPT_POINTLIST)
        NAME(D3DPT_LINELIST)
        NAME(D3DPT_LINESTRIP)
        NAME(D3DPT_TRIANGLELIST)
        NAME(D3DPT_TRIANGLESTRIP)
        NAME(D3DPT_TRIANGLEFAN)
    }
    return std::to_string(int(type));
}

std::string FormatName(D3DFORMAT format)
{
    switch (format)
    {
        NAME(D3DFMT_UNKNOWN)
        NAME(D3DFMT_R8G8B8)
        NAME(D3DFMT_A8R8G8B8)
        NAME(D3DFMT_X8R8G8B8)
        NAME(D3DFMT_R5G6B5)
        NAME(D3DFMT_D32)
        NAME(D3DFMT_D24S8)
        NAME(D3DFMT_D24X8)
        NAME(D3DFMT_D16)
        NAME(D3DFMT_VERTEXDATA)
    }
    return std::to_string(int(format));
}

std::string PoolName(D3DPOOL pool)
{
    switch (pool)
    {
        NAME(D3DPOOL_DEFAULT)
        NAME(D3DPOOL_MANAGED)
        NAME(D3DPOOL_SYSTEMMEM)
        NAME(D3DPOOL_SCRATCH)
    }
    return std::to_string(int(pool));
}

std::string SamplerStateName(D3DSAMPLERSTATETYPE type)
{
    switch (type)
    {
        NAME(D3DSAMP_ADDRESSU)
        NAME(D3DSAMP_ADDRESSV)
        NAME(D3DSAMP_ADDRESSW)
        NAME(D3DSAMP_BORDERCOLOR)
        NAME(D3DSAMP_MAGFILTER)
        NAME(D3DSAMP_MINFILTER)
        NAME(D3DSAMP_MIPFILTER)
    }
    return std::to_string(int(type));
}

#undef NAME

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
    case CallKind::UpdateTexture:
        return "UpdateTexture(" + source + ", " + texture + ")";
    case CallKind::BeginScene:
        return "BeginScene()";
    case CallKind::EndScene:
        return "EndScene()";
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
    case CallKind::Present:
        return "Present()";
    case CallKind::TestCooperativeLevel:
        return "TestCooperativeLevel()";
    case CallKind::Reset:
        return "Reset()";
    case CallKind::SetTransform:
        return "SetTransform(" + TransformName(transformType) + ")";
    case CallKind::SetMaterial:
        return "SetMaterial()";
    case CallKind::SetLight:
        return Format("SetLight(%u, %s)", unsigned(index),
                      !hasArgument                         ? "null"
                      : light.Type == D3DLIGHT_DIRECTIONAL ? "D3DLIGHT_DIRECTIONAL"
                      : light.Type == D3DLIGHT_POINT       ? "D3DLIGHT_POINT"
                      : light.Type == D3DLIGHT_SPOT        ? "D3DLIGHT_SPOT"
                                                           : "?");
    case CallKind::LightEnable:
        return Format("LightEnable(%u, %u)", unsigned(index), unsigned(value));
    case CallKind::SetRenderState:
        return "SetRenderState(" + RenderStateName(renderState) + ", " + std::to_string(value) +
               ")";
    case CallKind::SetTexture:
        return Format("SetTexture(%u, %s)", unsigned(index), texture.c_str());
    case CallKind::SetSamplerState:
        return Format("SetSamplerState(%u, %s, %u)", unsigned(index),
                      SamplerStateName(samplerState).c_str(), unsigned(value));
    case CallKind::DrawPrimitive:
        return Format("DrawPrimitive(%s, %u, %u)", PrimitiveTypeName(primitiveType).c_str(),
                      startVertex, primitiveCount);
    case CallKind::DrawPrimitiveUP:
        return Format("DrawPrimitiveUP(%s, %u, %u)", PrimitiveTypeName(primitiveType).c_str(),
                      primitiveCount, stride);
    case CallKind::SetFVF:
        return "SetFVF(" + Hex(fvf) + ")";
    case CallKind::SetStreamSource:
        return Format("SetStreamSource(%u, %s, %u, %u)", unsigned(index), vertexBuffer.c_str(),
                      offset, stride);
    case CallKind::Lock:
        return Format("Lock(%s, %u, %u, %u)", vertexBuffer.c_str(), lockOffset, lockSize,
                      unsigned(lockFlags));
    case CallKind::Unlock:
        return "Unlock(" + vertexBuffer + ")";
    case CallKind::LockRect:
        return Format("LockRect(%s, %u, %u)", texture.c_str(), unsigned(index),
                      unsigned(lockFlags));
    case CallKind::UnlockRect:
        return Format("UnlockRect(%s, %u)", texture.c_str(), unsigned(index));
    case CallKind::Release:
        return "Release(" + created + ")";
    }
    return "?";
}

DeviceCall& MemoryDevice::Record(CallKind kind)
{
    calls.emplace_back();
    calls.back().kind = kind;
    return calls.back();
}

bool MemoryDevice::Injected(DeviceCall& call)
{
    auto once = failNext.find(call.kind);
    if (once != failNext.end())
    {
        call.result = once->second;
        failNext.erase(once);
        return true;
    }
    auto always = failAlways.find(call.kind);
    if (always != failAlways.end())
    {
        call.result = always->second;
        return true;
    }
    return false;
}

HRESULT MemoryDevice::Finish(DeviceCall& call, HRESULT result)
{
    call.result = result;
    return result;
}

void MemoryDevice::FailNext(CallKind kind, HRESULT result)
{
    failNext[kind] = result;
}

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

void MemoryDevice::FailAlways(CallKind kind, HRESULT result)
{
    failAlways[kind] = result;
}

void MemoryDevice::ClearFailures()
{
    failNext.clear();
    failAlways.clear();
}

size_t MemoryDevice::Count(CallKind kind) const
{
    return size_t(std::count_if(calls.begin(), calls.end(),
                                [kind](const DeviceCall& c) { return c.kind == kind; }));
}
} // namespace port
