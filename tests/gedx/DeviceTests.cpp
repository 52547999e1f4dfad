// The graphics layer on the in-memory device: the device, its vertex buffer, every failed
// call's message, texture upload and overlays placed on the 640 x 480 grid.
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "Settings/Settings.h"
#include "support/Failure.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

using port::CallKind;

namespace
{
const HWND WINDOW = reinterpret_cast<HWND>(uintptr_t(0x1000)); // any handle: nothing is shown

// Direct3D and a device on the memory device, in a scene, with a small texture.
struct Graphics
{
    bool headless = (port::SetHeadless(true), true);
    DXGfx gfx;
    DXDevice device;
    port::MemoryDevice* memory = port::LastMemoryDevice();
    std::vector<uint32_t> pixels = std::vector<uint32_t>(16, 0xFF102030u);
    DXTexture texture{&device, 4, 4, pixels.data()};
    explicit Graphics(int32_t capacity = 100) : device(&gfx, WINDOW, capacity)
    {
        device.FillColour(0);
    }
};
} // namespace

TEST(DeviceTest, EveryFailedCallNamesItselfAndTexturesUpload)
{
    Graphics g;
    DXVertexT t[3] = {};
    DXVertexTL l[3] = {};
    auto frame = [&] { g.device.FillColour(0); };
    auto show = [&] { g.device.Render(); };
    auto draw = [&] { g.device.DrawTris(0, 1, &g.texture); };
    auto flat = [&] { g.device.Tri3T(t[0], t[1], t[2], &g.texture); };
    auto lit = [&] { g.device.Tri3TL(l[0], l[1], l[2], &g.texture); };
    auto texture = [&] { DXTexture made(&g.device, 4, 4, g.pixels.data()); };
    const std::tuple<CallKind, std::function<void()>, std::string> cases[] = {
        {CallKind::Clear, frame, "DXDevice::FillColour() - Clear() failed"},
        {CallKind::BeginScene, frame, "DXDevice::FillColour() - BeginScene() failed"},
        {CallKind::SetFVF, frame, "DXDevice::FillColour() - SetFVF() failed"},
        {CallKind::EndScene, show, "DXDevice::Render() - EndScene() failed"},
        {CallKind::Present, show, "DXDevice::Render() - Present() failed"},
        {CallKind::Lock, [&] { g.device.Lock(0, 0); }, "DXDevice::Lock() - Lock failed()"},
        {CallKind::Unlock, [&] { g.device.Unlock(); }, "DXDevice::Unlock() - Unlock failed()"},
        {CallKind::SetTexture, draw, "DXDevice::DrawTris() - SetTexture() failed"},
        {CallKind::SetStreamSource, draw, "DXDevice::DrawTris() - SetStreamSource() failed"},
        {CallKind::DrawPrimitive, draw, "DXDevice::DrawTris() - DrawPrimitive() failed"},
        {CallKind::SetFVF, flat, "DXDevice::Tri3T() - SetFVF() failed"},
        {CallKind::SetTexture, flat, "DXDevice::Tri3T() - SetTexture() failed"},
        {CallKind::DrawPrimitiveUP, flat, "DXDevice::Tri3T() - DrawPrimitiveUP() failed"},
        {CallKind::SetTexture, lit, "DXDevice::Tri3TL() - SetTexture() failed"},
        {CallKind::DrawPrimitiveUP, lit, "DXDevice::Tri3TL() - DrawPrimitiveUP() failed"},
        {CallKind::CreateTexture, texture, "DXDevice::CreateTexture() - CreateTexture() failed"},
        {CallKind::LockRect, texture, "DXTexture::DXTexture() - LockRect() failed"},
        {CallKind::UnlockRect, texture, "DXTexture::DXTexture() - UnlockRect() failed"},
        {CallKind::UpdateTexture, texture, "DXTexture::DXTexture() - UpdateTexture() failed"}};
    for (const auto& [kind, act, message] : cases)
    {
        // A frame starts outside a scene; everything else happens inside one.
        bool starts = message.rfind("DXDevice::FillColour", 0) == 0;
        if (g.memory->inScene == starts)
            starts ? void(g.memory->EndScene()) : g.device.FillColour(0);
        size_t textures = g.memory->Textures().size();
        g.memory->FailNext(kind, E_FAIL);
        // The failed update carries no result of its own.
        EXPECT_EQ(Failure<DXException>(act),
                  Said(kind == CallKind::UpdateTexture ? 0 : E_FAIL, message));
        EXPECT_EQ(g.memory->Textures().size(), textures) << "left behind by " << message;
    }
    // Uploaded, the texels arrive row by row in the device's own texture; the staging copy goes.
    const size_t before = g.memory->Textures().size();
    std::vector<uint32_t> pixels;
    for (uint32_t y = 0; y < 3; y++)
        for (uint32_t x = 0; x < 5; x++)
            pixels.push_back(0xFF000000u | y << 8 | x);
    auto uploaded = std::make_unique<DXTexture>(&g.device, 5, 3, pixels.data());
    const port::MemoryTexture* made = g.memory->FindTexture(uploaded->texture);
    ASSERT_TRUE(made && made->width == 5 && made->height == 3 &&
                g.memory->Textures().size() == before + 1);
    EXPECT_TRUE(made->pool == D3DPOOL_DEFAULT && made->format == D3DFMT_A8R8G8B8 &&
                made->texels == pixels);
    uploaded.reset();
    EXPECT_EQ(g.memory->Textures().size(), before);
}

TEST(DeviceTest, FullScreenAtTheSettingsSizeWithOneVertexBuffer)
{
    XResolution = 800, YResolution = 600;
    Graphics g(37058);
    // Full screen with a 16-bit depth buffer, one X8R8G8B8 back buffer of the settings' size.
    const D3DPRESENT_PARAMETERS& p = g.memory->presentParameters;
    EXPECT_TRUE(!p.Windowed && p.EnableAutoDepthStencil && p.AutoDepthStencilFormat == D3DFMT_D16 &&
                p.BackBufferFormat == D3DFMT_X8R8G8B8 && p.BackBufferCount == 1 &&
                p.BackBufferWidth == 800 && p.BackBufferHeight == 600 &&
                p.MultiSampleType == D3DMULTISAMPLE_NONE);
    EXPECT_EQ(g.memory->SamplerState(0, D3DSAMP_MAGFILTER), DWORD(D3DTEXF_LINEAR));
    const port::MemoryVertexBuffer* vb = g.memory->VertexBuffers().at(0);
    EXPECT_TRUE(vb->fvf == FVF_VERTEX_TL && vb->pool == D3DPOOL_DEFAULT);
    // 96 bytes a triangle; more than video memory holds is refused, the device let go.
    const UINT bytes = 37058u * 96;
    EXPECT_EQ(vb->bytes.size(), bytes);
    EXPECT_EQ(Failure<DXException>([&] { DXDevice d(&g.gfx, WINDOW, 3000000); }),
              Said(D3DERR_OUTOFVIDEOMEMORY, "DXDevice::DXDevice() - CreateVertexBuffer() failed"));
    EXPECT_TRUE(port::LastMemoryDevice()->Released());
    // Offset and size asked for (size 0: to the end), then locked.
    const std::tuple<int32_t, int32_t, UINT, UINT> locks[] = {
        {0, 0, 0, 0}, {960, 0, 960, bytes - 960}, {96, 192, 96, 192}};
    for (auto [offset, size, lockedOffset, lockedSize] : locks)
    {
        g.memory->ClearCalls();
        g.device.Lock(offset, size);
        g.device.Unlock();
        EXPECT_TRUE(g.memory->calls.at(0).lockOffset == lockedOffset &&
                    g.memory->calls[0].lockSize == lockedSize)
            << g.memory->calls[0].Describe();
    }
    // Each triangle is the next 96 bytes, to the last.
    for (int32_t t : {0, 1, 18000, 37057})
    {
        g.device.Lock(0, 0);
        g.device.GetVBTri(t)[2].v = float(t) + 0.5f;
        g.device.Unlock();
        const uint8_t* end = g.memory->VertexBuffers()[0]->bytes.data() + size_t(t + 1) * 96;
        EXPECT_EQ(reinterpret_cast<const float*>(end)[-1], float(t) + 0.5f) << "triangle " << t;
    }
    for (int32_t t : {-1, 37058, 1000000})
        EXPECT_EQ(Failure<DXException>([&] { g.device.GetVBTri(t); }),
                  Said(0, "DXDevice::GetVBTri() - Index out of range: " + std::to_string(t)));
}

TEST(DeviceTest, ResolutionZeroIsTheDesktopsSizeFullScreenAndThreeQuartersOfItInAWindow)
{
    // The settings, the window mode, the back buffer, and after Alt+Enter; the screen here
    // is 1024 x 768.
    const struct Size
    {
        int32_t x, y;
        bool windowed;
        UINT width, height, otherWidth, otherHeight;
    } sizes[] = {{0, 0, false, 1024, 768, 768, 576},
                 {0, 0, true, 768, 576, 1024, 768},
                 {0, 600, false, 1024, 768, 768, 576},
                 {800, 600, true, 800, 600, 800, 600},
                 {1920, 1080, false, 1920, 1080, 1920, 1080}};
    for (const Size& size : sizes)
    {
        XResolution = size.x, YResolution = size.y, Windowed = size.windowed;
        Graphics g;
        const D3DPRESENT_PARAMETERS& p = g.memory->presentParameters;
        EXPECT_TRUE(p.BackBufferWidth == size.width && p.BackBufferHeight == size.height &&
                    bool(p.Windowed) == size.windowed)
            << size.x << " x " << size.y << ": " << p.BackBufferWidth << " x "
            << p.BackBufferHeight;
        g.device.SetWindowed(!size.windowed);
        EXPECT_TRUE(p.BackBufferWidth == size.otherWidth &&
                    p.BackBufferHeight == size.otherHeight && bool(p.Windowed) != size.windowed);
    }
    XResolution = 1024, YResolution = 768, Windowed = 0;
}

TEST(OverlayTest, PlacedOnTheFixedGrid)
{
    Graphics g;
    // Image and texture sizes, point and anchor, and the grid pixel of the top-left corner.
    const struct
    {
        int32_t width, height, textureWidth, textureHeight, x, y, anchor;
        long left, top;
    } cases[] = {{340, 43, 512, 64, 320, 149, 500, 150, 127},  // centred
                 {453, 51, 512, 64, 320, 192, 500, 93, 166},   // centred, half a pixel cut
                 {640, 480, 1024, 512, 0, 0, 0, 0, 0},         // full screen
                 {340, 43, 512, 64, 640, 480, 1000, 300, 437}, // by its bottom-right corner
                 {13, 24, 16, 32, 95, 24, 0, 95, 24}};         // by its top-left corner
    for (auto [width, height, textureWidth, textureHeight, x, y, anchor, left, top] : cases)
    {
        std::vector<uint32_t> pixels(size_t(textureWidth * textureHeight), 0xFF000000u);
        DXOverlay overlay(&g.device, width, height, textureWidth, textureHeight, pixels.data());
        g.memory->ClearCalls();
        anchor == 500 ? overlay.DrawCentred(&g.device, x, y)
                      : overlay.Draw(&g.device, x, y, anchor, anchor);
        // (A, B, C) then (B, D, C), with the overlay's texture and the buffer's format again after.
        std::vector<DXVertexT> v;
        for (const port::DeviceCall& call : g.memory->calls)
            if (call.kind == CallKind::DrawPrimitiveUP &&
                call.texturePointer == overlay.texture->texture)
                v.insert(v.end(), reinterpret_cast<const DXVertexT*>(call.vertices.data()),
                         reinterpret_cast<const DXVertexT*>(call.vertices.data()) + 3);
        ASSERT_TRUE(v.size() == 6 && g.memory->fvf == FVF_VERTEX_TL) << width << " x " << height;
        const DXVertexT A = v[0], B = v[1], C = v[2], D = {B.x, C.y, 0, B.u, C.v};
        // The left and top edges on 640 x 480, the right and bottom ones divided by one less,
        // so that a full-screen picture reaches 1 exactly; only the image's part of the texture.
        EXPECT_TRUE(std::lround((A.x + 1) * 320) == left && std::lround((A.y + 1) * 240) == top &&
                    std::lround((B.x + 1) * 319.5) == left + width - 1 &&
                    std::lround((C.y + 1) * 239.5) == top + height - 1 && B.y == A.y &&
                    C.x == A.x &&
                    (width != 640 || (A.x == -1 && A.y == -1 && B.x == 1 && C.y == 1)))
            << width << " x " << height << " at " << A.x << ", " << A.y;
        EXPECT_TRUE(A.z == 0 && A.u == 0 && A.v == 0 && B.v == 0 && C.u == 0 &&
                    std::abs(B.u - float(width) / float(textureWidth)) < 1e-6 &&
                    std::abs(C.v - float(height) / float(textureHeight)) < 1e-6);
        const DXVertexT second[3] = {B, D, C};
        EXPECT_EQ(std::memcmp(&v[3], second, sizeof second), 0);
    }
}

TEST(DXException, CodeAndMessageCutAt1023)
{
    const std::string text(4000, 'm');
    DXException withCode(int32_t(0x8876086C), "%s %d", text.c_str(), -1), noCode("%d", -1);
    EXPECT_EQ(withCode.code, int32_t(0x8876086C));
    EXPECT_EQ(std::string(withCode.message), text.substr(0, 1023));
    EXPECT_EQ(noCode.code, 0);
    EXPECT_STREQ(noCode.message, "-1");
}
