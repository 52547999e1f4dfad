#include "GameParameters.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
using port::CallKind;
using port::MemoryDevice;

HWND FakeWindow()
{
    static char window;
    return reinterpret_cast<HWND>(&window);
}

class MemoryDeviceTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        port::SetHeadless(true);
        d3d = Direct3DCreate9(31);
        ASSERT_NE(d3d, nullptr);
        D3DPRESENT_PARAMETERS p = GameParameters();
        IDirect3DDevice9* created = nullptr;
        ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, FakeWindow(),
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &created),
                  D3D_OK);
        device = port::LastMemoryDevice();
        ASSERT_EQ(static_cast<IDirect3DDevice9*>(device), created);
    }
    void TearDown() override
    {
        for (IUnknown* r : resources)
            r->Release();
        if (device)
            device->Release();
        d3d->Release();
    }

    IDirect3DVertexBuffer9* Buffer(UINT triangles)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        EXPECT_EQ(
            device->CreateVertexBuffer(triangles * 96, 0, 0x112, D3DPOOL_DEFAULT, &vb, nullptr),
            D3D_OK);
        resources.push_back(vb);
        return vb;
    }
    IDirect3DTexture9* Texture(UINT w, UINT h, D3DPOOL pool)
    {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, pool, &t, nullptr), D3D_OK);
        resources.push_back(t);
        return t;
    }

    IDirect3D9* d3d = nullptr;
    MemoryDevice* device = nullptr;
    std::vector<IUnknown*> resources;
};

TEST_F(MemoryDeviceTest, RecordsAFrameAsReadableCallsInOrder)
{
    IDirect3DVertexBuffer9* vb = Buffer(37058);
    IDirect3DTexture9* tex = Texture(64, 64, D3DPOOL_DEFAULT);
    device->ClearCalls();

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x0076D3E4, 1.0f, 0);
    device->BeginScene();
    device->SetFVF(0x112);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    D3DMATRIX view{};
    view._11 = 2.0f;
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTexture(0, tex);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 96774, 2), D3D_OK);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);

    std::vector<std::string> expected = {
        "Clear(0, D3DCLEAR_TARGET|D3DCLEAR_ZBUFFER, 0x0076D3E4, 1, 0)",
        "BeginScene()",
        "SetFVF(0x112)",
        "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)",
        "SetTransform(D3DTS_VIEW)",
        "SetTexture(0, tex#1)",
        "SetSamplerState(0, D3DSAMP_MAGFILTER, 2)",
        "SetStreamSource(0, vb#1, 0, 32)",
        "DrawPrimitive(D3DPT_TRIANGLELIST, 96774, 2)",
        "EndScene()",
        "Present()",
    };
    EXPECT_EQ(device->Descriptions(), expected);
    // The draw remembers what it drew with; the transform keeps its matrix.
    const port::DeviceCall& draw = device->calls[8];
    EXPECT_EQ(draw.texture, "tex#1");
    EXPECT_EQ(draw.fvf, 0x112u);
    EXPECT_EQ(draw.vertexBuffer, "vb#1");
    EXPECT_EQ(device->calls[4].matrix._11, 2.0f);
    EXPECT_EQ(device->Transform(D3DTS_VIEW)._11, 2.0f);
    EXPECT_EQ(device->clearColour, 0x0076D3E4u);
    EXPECT_EQ(device->presents, 1);
    EXPECT_EQ(device->Count(CallKind::SetRenderState), 1u);
}

TEST_F(MemoryDeviceTest, StartsWithDirect3DsDefaultState)
{
    EXPECT_EQ(device->RenderState(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(device->RenderState(D3DRS_ZENABLE),
              DWORD(D3DZB_TRUE)); // a depth buffer was asked for
    EXPECT_EQ(device->RenderState(D3DRS_ZWRITEENABLE), DWORD(TRUE));
    EXPECT_EQ(device->RenderState(D3DRS_CULLMODE), DWORD(D3DCULL_CCW));
    EXPECT_EQ(device->RenderState(D3DRS_ALPHAFUNC), DWORD(D3DCMP_ALWAYS));
    EXPECT_EQ(device->RenderState(D3DRS_ALPHATESTENABLE), DWORD(FALSE));
    EXPECT_EQ(device->RenderState(D3DRS_SRCBLEND), DWORD(D3DBLEND_ONE));
    EXPECT_EQ(device->RenderState(D3DRS_DESTBLEND), DWORD(D3DBLEND_ZERO));
    EXPECT_EQ(device->RenderState(D3DRS_AMBIENT), 0u);
    EXPECT_EQ(device->SamplerState(0, D3DSAMP_MINFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(device->SamplerState(0, D3DSAMP_MAGFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(device->SamplerState(0, D3DSAMP_ADDRESSU), DWORD(D3DTADDRESS_WRAP));
    const D3DMATRIX& world = device->Transform(D3DTS_WORLD);
    for (int r = 0; r < 4; r++)
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(world.m[r][c], r == c ? 1.0f : 0.0f);

    // Enabling a light that was never set gives the default white light along +z.
    EXPECT_EQ(device->LightEnable(0, TRUE), D3D_OK);
    EXPECT_EQ(device->lights[0].Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(device->lights[0].Direction.z, 1.0f);
    EXPECT_EQ(device->lights[0].Diffuse.r, 1.0f);
}

TEST_F(MemoryDeviceTest, VertexBufferLocksOnlyInsideItself)
{
    IDirect3DVertexBuffer9* vb = Buffer(100);
    port::MemoryVertexBuffer* memory = device->FindVertexBuffer(vb);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(memory->bytes.size(), 9600u);

    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(data, memory->bytes.data());
    float x = 12.5f;
    std::memcpy(static_cast<uint8_t*>(data) + 96 * 99, &x, 4);
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    float back;
    std::memcpy(&back, memory->bytes.data() + 96 * 99, 4);
    EXPECT_EQ(back, 12.5f);

    // Size 0 with an offset runs to the end.
    ASSERT_EQ(vb->Lock(960, 0, &data, 0), D3D_OK);
    EXPECT_EQ(data, memory->bytes.data() + 960);
    ASSERT_EQ(vb->Unlock(), D3D_OK);

    EXPECT_EQ(vb->Lock(9600, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(96, 9600 - 95, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(96, 9600 - 96, &data, 0), D3D_OK);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL); // nothing left locked
    EXPECT_EQ(device->Descriptions(CallKind::Lock).front(), "Lock(vb#1, 0, 0, 0)");

    IDirect3DVertexBuffer9* none = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0x112, D3DPOOL_DEFAULT, &none, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexBuffer(16, 0, 0x112, D3DPOOL_DEFAULT, &none, nullptr),
              D3DERR_INVALIDCALL); // smaller than one vertex of the format
    EXPECT_EQ(none, nullptr);
}

TEST_F(MemoryDeviceTest, DrawsAreCheckedAgainstTheSceneTheStreamAndTheBuffer)
{
    IDirect3DVertexBuffer9* vb = Buffer(10);
    device->SetFVF(0x112);
    // Outside a scene.
    device->SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 10), D3D_OK); // the whole buffer
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 9), D3D_OK);  // ends on the last byte
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 9), D3DERR_INVALIDCALL); // one past
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 30, 0), D3D_OK); // nothing to draw

    void* data;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL); // still locked
    ASSERT_EQ(vb->Unlock(), D3D_OK);

    // Drawing from memory copies the vertices and leaves stream 0 unset, as Direct3D does.
    IDirect3DTexture9* tex = Texture(4, 4, D3DPOOL_DEFAULT);
    device->SetTexture(0, tex);
    device->SetFVF(0x102);
    float vertices[15];
    for (int i = 0; i < 15; i++)
        vertices[i] = float(i);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 20), D3D_OK);
    const port::DeviceCall& up = device->calls.back();
    EXPECT_EQ(up.Describe(), "DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, 20)");
    ASSERT_EQ(up.vertices.size(), 60u);
    EXPECT_EQ(std::memcmp(up.vertices.data(), vertices, 60), 0);
    EXPECT_EQ(up.fvf, 0x102u);
    EXPECT_EQ(up.texture, "tex#1");
    EXPECT_EQ(device->streamSource, nullptr);
    device->SetFVF(0x112);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 32), D3DERR_INVALIDCALL);
    device->EndScene();
}

TEST_F(MemoryDeviceTest, SceneBracketsMustPair)
{
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(device->presents, 1);
    // A depth-16 buffer has no stencil to clear.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(MemoryDeviceTest, TexturesGoThroughSystemMemoryLikeOnTheRealDevice)
{
    IDirect3DTexture9* staging = Texture(4, 2, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Texture(4, 2, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT rect;
    EXPECT_EQ(target->LockRect(0, &rect, nullptr, 0), D3DERR_INVALIDCALL); // default pool
    ASSERT_EQ(staging->LockRect(0, &rect, nullptr, 0), D3D_OK);
    EXPECT_EQ(rect.Pitch, 16);
    EXPECT_EQ(staging->LockRect(0, &rect, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    // 0xAARRGGBB words: blue first in memory.
    uint8_t* bytes = static_cast<uint8_t*>(rect.pBits);
    uint32_t texel = 0x7F112233u;
    std::memcpy(bytes + 16 + 4 * 3, &texel, 4);
    EXPECT_EQ(staging->UnlockRect(0), D3D_OK);
    EXPECT_EQ(staging->UnlockRect(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(bytes[16 + 12], 0x33);

    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    port::MemoryTexture* memory = device->FindTexture(target);
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(memory->Texel(3, 1), 0x7F112233u);
    EXPECT_EQ(memory->Texel(0, 0), 0u);
    EXPECT_EQ(memory->pool, D3DPOOL_DEFAULT);

    // The wrong way round, or between sizes that differ, is refused.
    EXPECT_EQ(device->UpdateTexture(target, staging), D3DERR_INVALIDCALL);
    IDirect3DTexture9* bigger = Texture(8, 2, D3DPOOL_DEFAULT);
    EXPECT_EQ(device->UpdateTexture(staging, bigger), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(staging, nullptr), D3DERR_INVALIDCALL);
    // Only default-pool textures can be bound.
    EXPECT_EQ(device->SetTexture(0, staging), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(0, target), D3D_OK);
    EXPECT_EQ(device->textures[0], target);

    IDirect3DTexture9* none = nullptr;
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &none, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_DEFAULT, &none, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    IDirect3DVertexBuffer9* scratch = nullptr; // vertex buffers have no scratch pool
    EXPECT_EQ(device->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_SCRATCH, &scratch, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Descriptions(CallKind::CreateTexture).front(),
              "CreateTexture(4, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM) -> tex#1");
}

TEST_F(MemoryDeviceTest, FailuresCanBeInjectedByKindOrByName)
{
    ASSERT_TRUE(device->FailNext("Present", D3DERR_DEVICELOST));
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->calls.back().result, D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK); // only once
    EXPECT_FALSE(device->FailNext("NoSuchMethod", E_FAIL));

    device->FailAlways(CallKind::SetFVF, E_FAIL);
    EXPECT_EQ(device->SetFVF(0x112), E_FAIL);
    EXPECT_EQ(device->SetFVF(0x112), E_FAIL);
    EXPECT_EQ(device->fvf, 0u); // a failed call changes nothing
    device->ClearFailures();
    EXPECT_EQ(device->SetFVF(0x112), D3D_OK);

    IDirect3DVertexBuffer9* vb = Buffer(1);
    void* data = nullptr;
    device->FailNext(CallKind::Lock, D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL); // the failed lock left it unlocked
}

TEST_F(MemoryDeviceTest, ResourcesHoldTheDeviceAndReleasesAreRecorded)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_DEFAULT, &vb, nullptr), D3D_OK);
    EXPECT_EQ(device->References(), 2u);
    vb->Release();
    MemoryDevice* memory = device;
    device = nullptr;
    EXPECT_EQ(memory->Release(), 0u);
    // Still readable after the game let go of it.
    ASSERT_EQ(port::LastMemoryDevice(), memory);
    EXPECT_TRUE(memory->Released());
    std::vector<std::string> releases = memory->Descriptions(CallKind::Release);
    EXPECT_EQ(releases, (std::vector<std::string>{"Release(vb#1)", "Release(device)"}));
}

TEST(MemoryDirect3D, RefusesDevicesThatCannotBeMade)
{
    port::SetHeadless(true);
    EXPECT_EQ(Direct3DCreate9(30), nullptr); // an SDK the runtime was not built for
    IDirect3D9* d3d = Direct3DCreate9(31);
    ASSERT_NE(d3d, nullptr);
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(1);
    auto create = [&](D3DPRESENT_PARAMETERS p, HWND window)
    {
        return d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p,
                                 &device);
    };
    EXPECT_EQ(create(GameParameters(0, 768), FakeWindow()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(create(GameParameters(100000, 768), FakeWindow()), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(create(GameParameters(), nullptr), D3DERR_INVALIDCALL); // no window at all

    port::FailNextMemoryDeviceCreation(D3DERR_NOTAVAILABLE);
    EXPECT_EQ(create(GameParameters(), FakeWindow()), D3DERR_NOTAVAILABLE);
    ASSERT_EQ(create(GameParameters(640, 480), FakeWindow()), D3D_OK);
    EXPECT_EQ(port::LastMemoryDevice()->presentParameters.BackBufferWidth, 640u);
    EXPECT_EQ(port::LastMemoryDevice()->focusWindow, FakeWindow());
    device->Release();
    d3d->Release();
}
} // namespace
