// DXDevice on the in-memory Direct3D device: creation, the frame bracket, the vertex
// buffer and the triangle calls, with every failure message.
#include "Game/Globals.h"
#include "Settings/Settings.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"
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
const int32_t capacity = 37058;

std::vector<DeviceCall> CallsOf(const MemoryDevice* memory, CallKind kind)
{
    std::vector<DeviceCall> found;
    for (const DeviceCall& call : memory->calls)
        if (call.kind == kind)
            found.push_back(call);
    return found;
}

std::vector<CallKind> Kinds(const MemoryDevice* memory)
{
    std::vector<CallKind> kinds;
    for (const DeviceCall& call : memory->calls)
        kinds.push_back(call.kind);
    return kinds;
}

// Runs f, expecting a DXException with this code and message.
template <typename F> void ExpectDXFailure(F f, int32_t code, const std::string& message)
{
    try
    {
        f();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    }
    catch (const DXException& e)
    {
        EXPECT_EQ(e.code, code) << message;
        EXPECT_STREQ(e.message, message.c_str());
    }
}

// A white 2 x 2 texture on the global device.
DXTexture* SmallTexture()
{
    const uint32_t pixels[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    return new DXTexture(device, 2, 2, pixels);
}

class DeviceTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        savedX = XResolution;
        savedY = YResolution;
    }
    void TearDown() override
    {
        XResolution = savedX;
        YResolution = savedY;
    }
    int32_t savedX = 0, savedY = 0;
};

// Hands out the memory device but makes its first call of one kind fail, so failures
// inside the DXDevice constructor can be seen.
struct FailingDirect3D : public IDirect3D9
{
    IDirect3D9* real;
    CallKind kind;
    HRESULT result;
    FailingDirect3D(IDirect3D9* real, CallKind kind, HRESULT result)
        : real(real), kind(kind), result(result)
    {
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD flags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** made) override
    {
        HRESULT r = real->CreateDevice(adapter, type, window, flags, parameters, made);
        if (SUCCEEDED(r))
            port::LastMemoryDevice()->FailNext(kind, result);
        return r;
    }
};
} // namespace

TEST_F(DeviceTest, CreationUsesTheSettingsResolutionAndFullScreenParameters)
{
    XResolution = 800;
    YResolution = 600;
    testworld::HeadlessDevice headless(capacity);
    MemoryDevice* memory = headless.memory;
    ASSERT_NE(memory, nullptr);

    // Full screen, one X8R8G8B8 back buffer, a 16-bit depth buffer, discarded on present.
    D3DPRESENT_PARAMETERS expected{};
    expected.BackBufferWidth = 800;
    expected.BackBufferHeight = 600;
    expected.BackBufferFormat = D3DFMT_X8R8G8B8;
    expected.BackBufferCount = 1;
    expected.SwapEffect = D3DSWAPEFFECT_DISCARD;
    expected.EnableAutoDepthStencil = TRUE;
    expected.AutoDepthStencilFormat = D3DFMT_D16;
    expected.Flags = 0x13;
    EXPECT_EQ(std::memcmp(&memory->presentParameters, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&expected, &device->presentParams, sizeof expected), 0);
    EXPECT_EQ(memory->behaviorFlags, DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING));
    EXPECT_EQ(memory->focusWindow, device->window);

    // Lighting off, linear magnification, then the one vertex buffer.
    ASSERT_EQ(memory->calls.size(), 3u);
    EXPECT_EQ(memory->calls[0].kind, CallKind::SetRenderState);
    EXPECT_EQ(memory->calls[0].renderState, D3DRS_LIGHTING);
    EXPECT_EQ(memory->calls[0].value, DWORD(FALSE));
    EXPECT_EQ(memory->calls[1].kind, CallKind::SetSamplerState);
    EXPECT_EQ(memory->calls[1].index, 0u);
    EXPECT_EQ(memory->calls[1].samplerState, D3DSAMP_MAGFILTER);
    EXPECT_EQ(memory->calls[1].value, DWORD(D3DTEXF_LINEAR));
    const DeviceCall& vb = memory->calls[2];
    EXPECT_EQ(vb.kind, CallKind::CreateVertexBuffer);
    EXPECT_EQ(vb.length, 3557568u);
    EXPECT_EQ(vb.usage, 0u);
    EXPECT_EQ(vb.fvf, 0x112u);
    EXPECT_EQ(vb.pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(device->triangleCapacity, capacity);
}

TEST_F(DeviceTest, CreationFailuresCarryTheResultAndLeaveNothingBehind)
{
    port::SetHeadless(true);
    DXGfx graphics;
    static char window;
    HWND handle = reinterpret_cast<HWND>(&window);

    port::FailNextMemoryDeviceCreation(D3DERR_NOTAVAILABLE);
    ExpectDXFailure([&] { DXDevice d(&graphics, handle, 10); }, D3DERR_NOTAVAILABLE,
                    "Failed to create Direct3D device");

    // A resolution no adapter shows full screen.
    XResolution = 100000;
    ExpectDXFailure([&] { DXDevice d(&graphics, handle, 10); }, D3DERR_NOTAVAILABLE,
                    "Failed to create Direct3D device");
    XResolution = 640;

    FailingDirect3D failing(graphics.d3d, CallKind::CreateVertexBuffer, E_OUTOFMEMORY);
    IDirect3D9* real = graphics.d3d;
    graphics.d3d = &failing;
    ExpectDXFailure([&] { DXDevice d(&graphics, handle, 10); }, E_OUTOFMEMORY,
                    "DXDevice::DXDevice() - CreateVertexBuffer() failed");
    graphics.d3d = real;
    // The device made before the buffer failed was let go.
    EXPECT_TRUE(port::LastMemoryDevice()->Released());
}

TEST_F(DeviceTest, FillColourAndRenderBracketAFrame)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;
    memory->ClearCalls();

    device->FillColour(0x00123456);
    device->Render();
    std::vector<CallKind> expected = {CallKind::Clear,    CallKind::BeginScene,
                                      CallKind::SetFVF,   CallKind::SetMaterial,
                                      CallKind::EndScene, CallKind::Present};
    EXPECT_EQ(Kinds(memory), expected);
    const DeviceCall& clear = memory->calls[0];
    EXPECT_EQ(clear.rectCount, 0u);
    EXPECT_EQ(clear.clearFlags, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER));
    EXPECT_EQ(clear.colour, 0x00123456u);
    EXPECT_EQ(clear.z, 1.0f);
    EXPECT_EQ(clear.stencil, 0u);
    EXPECT_EQ(memory->calls[2].fvf, 0x112u);
    // A white diffuse and ambient material, nothing else.
    D3DMATERIAL9 white{};
    white.Diffuse = white.Ambient = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    EXPECT_EQ(std::memcmp(&memory->calls[3].material, &white, sizeof white), 0);
    EXPECT_EQ(memory->presents, 1);
}

TEST_F(DeviceTest, FrameFailuresNameTheCall)
{
    testworld::HeadlessDevice headless(16);
    MemoryDevice* memory = headless.memory;

    for (CallKind kind : {CallKind::Clear, CallKind::BeginScene, CallKind::SetFVF})
    {
        memory->FailNext(kind, D3DERR_INVALIDCALL);
        ExpectDXFailure([] { device->FillColour(0); }, D3DERR_INVALIDCALL,
                        std::string("DXDevice::FillColour() - ") + port::CallKindName(kind) +
                            "() failed");
    }
    // The scene begun by the last attempt is still open.
    memory->FailNext(CallKind::Present, D3DERR_DEVICELOST);
    ExpectDXFailure([] { device->Render(); }, D3DERR_DEVICELOST,
                    "DXDevice::Render() - Present() failed");
    // No scene is open now: EndScene fails on its own.
    ExpectDXFailure([] { device->Render(); }, D3DERR_INVALIDCALL,
                    "DXDevice::Render() - EndScene() failed");
}

TEST_F(DeviceTest, VertexBufferLockRangesAndTriangleAddresses)
{
    testworld::HeadlessDevice headless(capacity);
    MemoryDevice* memory = headless.memory;
    memory->ClearCalls();

    device->Lock(0, 0);
    device->Unlock();
    device->Lock(960, 0);
    device->Unlock();
    std::vector<DeviceCall> locks = CallsOf(memory, CallKind::Lock);
    ASSERT_EQ(locks.size(), 2u);
    EXPECT_EQ(locks[0].lockOffset, 0u);
    EXPECT_EQ(locks[0].lockSize, 0u);
    EXPECT_EQ(locks[0].lockFlags, 0u);
    // From triangle 10 to the end.
    EXPECT_EQ(locks[1].lockOffset, 960u);
    EXPECT_EQ(locks[1].lockSize, 3557568u - 960u);

    device->Lock(0, 0);
    BYTE* start = device->vertexData;
    EXPECT_EQ(reinterpret_cast<BYTE*>(device->GetVBTri(0)), start);
    EXPECT_EQ(reinterpret_cast<BYTE*>(device->GetVBTri(37057)), start + 37057 * 96);
    // Writing the last triangle lands in the buffer's last 96 bytes.
    device->GetVBTri(37057)[2].v = 0.5f;
    device->Unlock();
    const std::vector<uint8_t>& bytes = memory->VertexBuffers().at(0)->bytes;
    float last;
    std::memcpy(&last, bytes.data() + bytes.size() - 4, 4);
    EXPECT_EQ(last, 0.5f);

    ExpectDXFailure([] { device->GetVBTri(-1); }, 0,
                    "DXDevice::GetVBTri() - Index out of range: -1");
    ExpectDXFailure([] { device->GetVBTri(37058); }, 0,
                    "DXDevice::GetVBTri() - Index out of range: 37058");

    memory->FailNext(CallKind::Lock, D3DERR_INVALIDCALL);
    ExpectDXFailure([] { device->Lock(0, 0); }, D3DERR_INVALIDCALL,
                    "DXDevice::Lock() - Lock failed()");
    // Not locked: the buffer refuses to unlock.
    ExpectDXFailure([] { device->Unlock(); }, D3DERR_INVALIDCALL,
                    "DXDevice::Unlock() - Unlock failed()");
}

TEST_F(DeviceTest, DrawTrisBindsTextureStreamAndDrawsTheRange)
{
    testworld::HeadlessDevice headless(100);
    MemoryDevice* memory = headless.memory;
    DXTexture* texture = SmallTexture();
    device->FillColour(0);
    memory->ClearCalls();

    device->DrawTris(10, 4, texture);
    ASSERT_EQ(memory->calls.size(), 3u);
    EXPECT_EQ(memory->calls[0].kind, CallKind::SetTexture);
    EXPECT_EQ(memory->calls[0].index, 0u);
    EXPECT_EQ(memory->calls[0].texturePointer, texture->texture);
    EXPECT_EQ(memory->calls[1].kind, CallKind::SetStreamSource);
    EXPECT_EQ(memory->calls[1].index, 0u);
    EXPECT_EQ(memory->calls[1].vertexBuffer, "vb#1");
    EXPECT_EQ(memory->calls[1].offset, 0u);
    EXPECT_EQ(memory->calls[1].stride, 32u);
    EXPECT_EQ(memory->calls[2].kind, CallKind::DrawPrimitive);
    EXPECT_EQ(memory->calls[2].primitiveType, D3DPT_TRIANGLELIST);
    EXPECT_EQ(memory->calls[2].startVertex, 30u);
    EXPECT_EQ(memory->calls[2].primitiveCount, 4u);

    // A null texture keeps the bound one; a count of 0 still binds the texture.
    memory->ClearCalls();
    device->DrawTris(0, 1, nullptr);
    EXPECT_EQ(CallsOf(memory, CallKind::SetTexture).size(), 0u);
    EXPECT_EQ(memory->textures[0], texture->texture);
    memory->ClearCalls();
    device->DrawTris(0, 0, texture);
    EXPECT_EQ(CallsOf(memory, CallKind::SetTexture).size(), 1u);

    for (CallKind kind : {CallKind::SetTexture, CallKind::SetStreamSource, CallKind::DrawPrimitive})
    {
        memory->FailNext(kind, E_FAIL);
        ExpectDXFailure([&] { device->DrawTris(0, 1, texture); }, E_FAIL,
                        std::string("DXDevice::DrawTris() - ") + port::CallKindName(kind) +
                            "() failed");
    }
    delete texture;
}

TEST_F(DeviceTest, SingleTrianglesFromMemoryAndTheFormatRestored)
{
    testworld::HeadlessDevice headless(100);
    MemoryDevice* memory = headless.memory;
    DXTexture* texture = SmallTexture();
    device->FillColour(0);
    memory->ClearCalls();

    DXVertexT a = {1, 2, 3, 4, 5}, b = {6, 7, 8, 9, 10}, c = {11, 12, 13, 14, 15};
    device->Tri3T(a, b, c, texture);
    std::vector<CallKind> expectedT = {CallKind::SetFVF, CallKind::SetTexture,
                                       CallKind::DrawPrimitiveUP, CallKind::SetFVF};
    ASSERT_EQ(Kinds(memory), expectedT);
    EXPECT_EQ(memory->calls[0].fvf, 0x102u);
    EXPECT_EQ(memory->calls[1].texturePointer, texture->texture);
    const DeviceCall& drawT = memory->calls[2];
    EXPECT_EQ(drawT.primitiveType, D3DPT_TRIANGLELIST);
    EXPECT_EQ(drawT.primitiveCount, 1u);
    EXPECT_EQ(drawT.stride, 20u);
    ASSERT_EQ(drawT.vertices.size(), 60u);
    float floats[15];
    std::memcpy(floats, drawT.vertices.data(), 60);
    for (int i = 0; i < 15; i++)
        EXPECT_EQ(floats[i], float(i + 1));
    EXPECT_EQ(memory->calls[3].fvf, 0x112u);
    EXPECT_EQ(memory->fvf, 0x112u);

    memory->ClearCalls();
    DXVertexTL p = {1, 2, 3, 0, 0, 1, 0, 0}, q = {4, 5, 6, 0, 0, 1, 1, 0},
               r = {7, 8, 9, 0, 0, 1, 0, 1};
    device->Tri3TL(p, q, r, texture);
    std::vector<CallKind> expectedTL = {CallKind::SetTexture, CallKind::DrawPrimitiveUP};
    ASSERT_EQ(Kinds(memory), expectedTL);
    const DeviceCall& drawTL = memory->calls[1];
    EXPECT_EQ(drawTL.stride, 32u);
    EXPECT_EQ(drawTL.fvf, 0x112u); // drawn with the buffer's format still in force
    ASSERT_EQ(drawTL.vertices.size(), 96u);
    DXVertexTL copied[3];
    std::memcpy(copied, drawTL.vertices.data(), 96);
    EXPECT_EQ(copied[0].x, 1.0f);
    EXPECT_EQ(copied[1].u, 1.0f);
    EXPECT_EQ(copied[2].z, 9.0f);
    EXPECT_EQ(copied[2].v, 1.0f);

    for (CallKind kind : {CallKind::SetFVF, CallKind::SetTexture, CallKind::DrawPrimitiveUP})
    {
        memory->FailNext(kind, E_FAIL);
        ExpectDXFailure([&] { device->Tri3T(a, b, c, texture); }, E_FAIL,
                        std::string("DXDevice::Tri3T() - ") + port::CallKindName(kind) +
                            "() failed");
    }
    for (CallKind kind : {CallKind::SetTexture, CallKind::DrawPrimitiveUP})
    {
        memory->FailNext(kind, E_FAIL);
        ExpectDXFailure([&] { device->Tri3TL(p, q, r, texture); }, E_FAIL,
                        std::string("DXDevice::Tri3TL() - ") + port::CallKindName(kind) +
                            "() failed");
    }
    delete texture;
}
