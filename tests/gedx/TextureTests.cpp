// DXTexture and DXOverlay on the in-memory device: texels, failure paths that leave no
// texture behind, and overlay placement on the 640 x 480 grid.
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXTexture.h"
#include "port/MemoryDevice.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using port::CallKind;
using port::DeviceCall;
using port::MemoryDevice;

namespace
{
std::vector<uint32_t> Pattern(int32_t width, int32_t height)
{
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++)
            pixels.push_back(0xFF000000u | uint32_t(y) << 8 | uint32_t(x));
    return pixels;
}

void ExpectFailure(MemoryDevice* memory, CallKind kind, HRESULT result, int32_t code,
                   const char* message)
{
    std::vector<uint32_t> pixels = Pattern(4, 4);
    size_t before = memory->Textures().size();
    memory->FailNext(kind, result);
    try
    {
        DXTexture texture(device, 4, 4, pixels.data());
        ADD_FAILURE() << "no exception for " << message;
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, code) << message;
        EXPECT_STREQ(e.message, message);
    }
    // Neither the staging texture nor the device texture is left behind.
    EXPECT_EQ(memory->Textures().size(), before) << message;
}

// The two screen triangles of the last overlay drawn: A, B, C then B, D, C.
std::vector<DXVertexT> DrawnVertices(const MemoryDevice* memory)
{
    std::vector<DXVertexT> vertices;
    for (const DeviceCall& call : memory->calls)
        if (call.kind == CallKind::DrawPrimitiveUP)
        {
            DXVertexT v[3];
            EXPECT_EQ(call.vertices.size(), sizeof v);
            std::memcpy(v, call.vertices.data(), sizeof v);
            vertices.insert(vertices.end(), v, v + 3);
        }
    return vertices;
}

DXOverlay* BlankOverlay(int32_t width, int32_t height, int32_t tw, int32_t th)
{
    std::vector<uint32_t> pixels(size_t(tw) * size_t(th), 0xFF000000u);
    return new DXOverlay(device, width, height, tw, th, pixels.data());
}
} // namespace

TEST(TextureTest, TexelsArriveInTheDefaultPoolAndTheStagingCopyGoes)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;
    memory->ClearCalls();
    std::vector<uint32_t> pixels = Pattern(5, 3); // rows of 20 bytes; the surface may be wider
    DXTexture* texture = new DXTexture(device, 5, 3, pixels.data());

    std::vector<DeviceCall> creates;
    std::copy_if(memory->calls.begin(), memory->calls.end(), std::back_inserter(creates),
                 [](const DeviceCall& c) { return c.kind == CallKind::CreateTexture; });
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].pool, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(creates[1].pool, D3DPOOL_DEFAULT);
    for (const DeviceCall& c : creates)
    {
        EXPECT_EQ(c.width, 5u);
        EXPECT_EQ(c.height, 3u);
        EXPECT_EQ(c.levels, 1u);
        EXPECT_EQ(c.usage, 0u);
        EXPECT_EQ(c.format, D3DFMT_A8R8G8B8);
    }

    ASSERT_EQ(memory->Textures().size(), 1u);
    port::MemoryTexture* made = memory->FindTexture(texture->texture);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->pool, D3DPOOL_DEFAULT);
    for (UINT y = 0; y < 3; y++)
        for (UINT x = 0; x < 5; x++)
            EXPECT_EQ(made->Texel(x, y), pixels[y * 5 + x]) << x << "," << y;

    delete texture;
    EXPECT_EQ(memory->Textures().size(), 0u);
}

TEST(TextureTest, EveryFailureCarriesItsMessage)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;
    ExpectFailure(memory, CallKind::CreateTexture, E_OUTOFMEMORY, E_OUTOFMEMORY,
                  "DXDevice::CreateTexture() - CreateTexture() failed");
    ExpectFailure(memory, CallKind::LockRect, D3DERR_INVALIDCALL, D3DERR_INVALIDCALL,
                  "DXTexture::DXTexture() - LockRect() failed");
    ExpectFailure(memory, CallKind::UnlockRect, D3DERR_INVALIDCALL, D3DERR_INVALIDCALL,
                  "DXTexture::DXTexture() - UnlockRect() failed");
    // UpdateTexture's failure carries no code.
    ExpectFailure(memory, CallKind::UpdateTexture, D3DERR_INVALIDCALL, 0,
                  "DXTexture::DXTexture() - UpdateTexture() failed");
}

namespace
{
// Forwards to the memory device, but the n-th CreateTexture fails.
struct CreateFailingDevice : public IDirect3DDevice9
{
    IDirect3DDevice9* d;
    int failAt;
    int creates = 0;
    CreateFailingDevice(IDirect3DDevice9* d, int failAt) : d(d), failAt(failAt) {}
    ULONG AddRef() override { return d->AddRef(); }
    ULONG Release() override { return d->Release(); }
    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p,
                          IDirect3DTexture9** t, HANDLE* s) override
    {
        if (++creates == failAt)
            return E_OUTOFMEMORY;
        return d->CreateTexture(w, h, l, u, f, p, t, s);
    }
    HRESULT CreateVertexBuffer(UINT l, DWORD u, DWORD f, D3DPOOL p, IDirect3DVertexBuffer9** b,
                               HANDLE* s) override
    {
        return d->CreateVertexBuffer(l, u, f, p, b, s);
    }
    HRESULT UpdateTexture(IDirect3DBaseTexture9* s, IDirect3DBaseTexture9* t) override
    {
        return d->UpdateTexture(s, t);
    }
    HRESULT TestCooperativeLevel() override { return d->TestCooperativeLevel(); }
    HRESULT Reset(D3DPRESENT_PARAMETERS* p) override { return d->Reset(p); }
    HRESULT BeginScene() override { return d->BeginScene(); }
    HRESULT EndScene() override { return d->EndScene(); }
    HRESULT Clear(DWORD n, const D3DRECT* r, DWORD f, D3DCOLOR c, float z, DWORD s) override
    {
        return d->Clear(n, r, f, c, z, s);
    }
    HRESULT Present(const RECT* a, const RECT* b, HWND w, const RGNDATA* r) override
    {
        return d->Present(a, b, w, r);
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX* m) override
    {
        return d->SetTransform(s, m);
    }
    HRESULT SetMaterial(const D3DMATERIAL9* m) override { return d->SetMaterial(m); }
    HRESULT SetLight(DWORD i, const D3DLIGHT9* l) override { return d->SetLight(i, l); }
    HRESULT LightEnable(DWORD i, BOOL e) override { return d->LightEnable(i, e); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override
    {
        return d->SetRenderState(s, v);
    }
    HRESULT SetTexture(DWORD s, IDirect3DBaseTexture9* t) override { return d->SetTexture(s, t); }
    HRESULT SetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD v) override
    {
        return d->SetSamplerState(s, t, v);
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE t, UINT s, UINT c) override
    {
        return d->DrawPrimitive(t, s, c);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE t, UINT c, const void* v, UINT s) override
    {
        return d->DrawPrimitiveUP(t, c, v, s);
    }
    HRESULT SetFVF(DWORD f) override { return d->SetFVF(f); }
    HRESULT SetStreamSource(UINT n, IDirect3DVertexBuffer9* b, UINT o, UINT s) override
    {
        return d->SetStreamSource(n, b, o, s);
    }
};
} // namespace

TEST(TextureTest, DefaultPoolCreationFailureReleasesStaging)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;
    std::vector<uint32_t> pixels = Pattern(4, 4);
    CreateFailingDevice failing(device->device, 2);
    IDirect3DDevice9* real = device->device;
    device->device = &failing;
    try
    {
        DXTexture texture(device, 4, 4, pixels.data());
        ADD_FAILURE() << "no exception";
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, E_OUTOFMEMORY);
        EXPECT_STREQ(e.message, "DXDevice::CreateTexture() - CreateTexture() failed");
    }
    device->device = real;
    EXPECT_EQ(failing.creates, 2);
    EXPECT_EQ(memory->Textures().size(), 0u);
}

TEST(OverlayTest, PlacementOnTheFixedGrid)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;

    // The board panel: 340 x 43 centred on (320, 149) starts at (150, 127).
    DXOverlay* panel = BlankOverlay(340, 43, 512, 64);
    device->FillColour(0);
    memory->ClearCalls();
    panel->DrawCentred(device, 320, 149);
    std::vector<DXVertexT> v = DrawnVertices(memory);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, float(150 / 640.0 * 2 - 1));
    EXPECT_FLOAT_EQ(v[0].y, float(127 / 480.0 * 2 - 1));
    EXPECT_FLOAT_EQ(v[1].x, float((150 + 339) / 639.0 * 2 - 1));
    EXPECT_FLOAT_EQ(v[2].y, float((127 + 42) / 479.0 * 2 - 1));
    // Texture extent: only the image's corner of the rounded-up texture.
    EXPECT_FLOAT_EQ(v[1].u, 340.0f / 512.0f);
    EXPECT_FLOAT_EQ(v[2].v, 43.0f / 64.0f);
    // A = (left, top, 0, 0), B = (right, top), C = (left, bottom); then B, D, C.
    EXPECT_EQ(v[0].u, 0.0f);
    EXPECT_EQ(v[0].v, 0.0f);
    EXPECT_EQ(v[3].x, v[1].x);
    EXPECT_EQ(v[4].x, v[1].x);
    EXPECT_EQ(v[4].y, v[2].y);
    EXPECT_EQ(v[4].u, v[1].u);
    EXPECT_EQ(v[4].v, v[2].v);
    EXPECT_EQ(v[5].x, v[2].x);
    for (const DXVertexT& vertex : v)
        EXPECT_EQ(vertex.z, 0.0f);

    // A full-screen picture at (0, 0) covers -1 to 1 exactly.
    DXOverlay* full = BlankOverlay(640, 480, 1024, 512);
    memory->ClearCalls();
    full->Draw(device, 0, 0, 0, 0);
    v = DrawnVertices(memory);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_EQ(v[0].x, -1.0f);
    EXPECT_EQ(v[0].y, -1.0f);
    EXPECT_EQ(v[1].x, 1.0f);
    EXPECT_EQ(v[2].y, 1.0f);

    // Anchor in thousandths: (1000, 1000) puts the bottom-right corner at (x, y).
    memory->ClearCalls();
    panel->Draw(device, 640, 480, 1000, 1000);
    v = DrawnVertices(memory);
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(v[0].x, float(300 / 640.0 * 2 - 1));
    EXPECT_FLOAT_EQ(v[0].y, float(437 / 480.0 * 2 - 1));
    EXPECT_FLOAT_EQ(v[1].x, float(639 / 639.0 * 2 - 1));

    // Both triangles use the overlay's own texture.
    for (const DeviceCall& call : memory->calls)
    {
        if (call.kind == CallKind::SetTexture)
        {
            EXPECT_EQ(call.texturePointer, panel->texture->texture);
        }
    }

    delete panel;
    delete full;
    EXPECT_EQ(memory->Textures().size(), 0u);
}
