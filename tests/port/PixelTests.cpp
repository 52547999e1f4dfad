// The OpenGL device, checked by the pixels it leaves in the back buffer. Needs a display
// (the test command runs it in a virtual X server); skipped without one.
#include "GameParameters.h"
#include "port/D3D9.h"
#include "port/Port.h"
#include "port/gl/Pacing.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
using VertexTL = std::array<float, 8>; // position, normal, texture coordinates

// A vertex facing the viewer, untextured.
VertexTL At(float x, float y, float z = 0.5f)
{
    return {x, y, z, 0, 0, 1, 0, 0};
}

// A matrix with this diagonal and nothing else.
D3DMATRIX Diagonal(float a, float b, float c, float d = 1.0f)
{
    D3DMATRIX m{};
    m._11 = a, m._22 = b, m._33 = c, m._44 = d;
    return m;
}

class PixelTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        port::SetHeadless(false);
        port::SetPresentPacing(false);
        WNDCLASSEXA c{sizeof c, 0, DefWindowProcA, 0, 0, 0, 0, 0, 0, 0, "PixelTest", 0};
        RegisterClassExA(&c);
        window = CreateWindowExA(0, "PixelTest", "Gloamfield", WS_POPUP | WS_SYSMENU, 0, 0, 640,
                                 480, nullptr, nullptr, nullptr, nullptr);
        if (window == nullptr)
            GTEST_SKIP() << "no display";
        ShowWindow(window, SW_SHOWNORMAL);
        d3d = Direct3DCreate9(31);
        ASSERT_NE(d3d, nullptr);
    }
    void TearDown() override
    {
        resources.insert(resources.end(), {device, d3d});
        for (IUnknown* r : resources)
            if (r)
                r->Release();
        DestroyWindow(window);
        UnregisterClassA("PixelTest", nullptr);
        port::SetHeadless(true);
    }

    HRESULT MakeDevice(UINT width, UINT height)
    {
        D3DPRESENT_PARAMETERS p = GameParameters(width, height);
        HRESULT result = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
        if (SUCCEEDED(result))
            FrameStart(0x00000000);
        return result;
    }

    // What the game's frame start does: clear, begin, the lit format, a white material.
    void FrameStart(D3DCOLOR colour)
    {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0),
                  D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->SetFVF(0x112);
        D3DMATERIAL9 white{{1, 1, 1, 1}, {1, 1, 1, 1}, {}, {}, 0}; // diffuse and ambient
        device->SetMaterial(&white);
        device->SetRenderState(D3DRS_LIGHTING, FALSE);
    }

    // Uploaded as the game uploads: through a system-memory texture.
    IDirect3DTexture9* Texture(UINT w, UINT h, const std::vector<uint32_t>& texels)
    {
        IDirect3DTexture9 *staging = nullptr, *texture = nullptr;
        D3DLOCKED_RECT rect;
        EXPECT_EQ(
            device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, 0) |
                staging->LockRect(0, &rect, nullptr, 0),
            D3D_OK);
        std::memcpy(rect.pBits, texels.data(), texels.size() * 4);
        staging->UnlockRect(0);
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, 0) |
                      device->UpdateTexture(staging, texture),
                  D3D_OK);
        staging->Release();
        resources.push_back(texture);
        return texture;
    }
    IDirect3DTexture9* Solid(uint32_t t) { return Texture(2, 2, std::vector<uint32_t>(4, t)); }

    template <class V> void Triangle(V a, V b, V c, IDirect3DTexture9* texture)
    {
        V v[3] = {a, b, c};
        device->SetTexture(0, texture);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(V)), D3D_OK);
    }

    // Two triangles over the rectangle, both clockwise on the screen.
    void Quad(float left, float top, float right, float bottom, float z, IDirect3DTexture9* texture)
    {
        VertexTL a{left, top, z, 0, 0, 1, 0, 0}, b{right, top, z, 0, 0, 1, 1, 0};
        VertexTL c{left, bottom, z, 0, 0, 1, 0, 1}, d{right, bottom, z, 0, 0, 1, 1, 1};
        Triangle(a, b, c, texture);
        Triangle(b, d, c, texture);
    }

    void ExpectPixel(int x, int y, double r, double g, double b, double tolerance)
    {
        ASSERT_TRUE(port::ReadBackBuffer(&width, &height, &pixels));
        size_t i = (size_t(y) * size_t(width) + size_t(x)) * 4;
        EXPECT_NEAR(pixels[i], r, tolerance) << "red at " << x << ", " << y;
        EXPECT_NEAR(pixels[i + 1], g, tolerance) << "green at " << x << ", " << y;
        EXPECT_NEAR(pixels[i + 2], b, tolerance) << "blue at " << x << ", " << y;
    }

    HWND window = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    std::vector<IUnknown*> resources; // released before the device
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
};

TEST_F(PixelTest, ClearFillsTheBackBufferAndIgnoresAlpha)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    device->EndScene();
    FrameStart(0x0076D3E4);
    device->EndScene();
    ExpectPixel(0, 0, 0x76, 0xD3, 0xE4, 0);
    ExpectPixel(159, 119, 0x76, 0xD3, 0xE4, 0);
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 120);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(PixelTest, BackBuffersTheDriverCannotMakeAreRefused)
{
    EXPECT_EQ(MakeDevice(0, 480), D3DERR_INVALIDCALL);
    EXPECT_EQ(MakeDevice(1000000, 480), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    ASSERT_EQ(MakeDevice(64, 48), D3D_OK); // a failure leaves the display usable
}

// Direct3D lights a vertex with ambient × material ambient + light diffuse × material
// diffuse × max(0, N · -direction), the direction normalised, all in world space.
TEST_F(PixelTest, DaylightLightsTrianglesInWorldSpace)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    IDirect3DTexture9* white = Solid(0xFFFFFFFFu);
    D3DLIGHT9 sun{};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {0.315f, 0.35f, 0.2625f, 0.0f};
    sun.Direction = {1.0f, 0.8f, -1.0f};
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
    // Half a turn about y: the camera looks at the ground's upper side from behind, so a
    // light fixed to the camera instead of the world would light it not at all.
    D3DMATRIX view = Diagonal(-1, 1, -1);
    device->SetTransform(D3DTS_VIEW, &view);
    // Left half: facing up (lit); right half: facing down (ambient only).
    Triangle(At(1, -1, -0.5f), At(1, 1, -0.5f), At(0.1f, -1, -0.5f), white);
    VertexTL down[3] = {At(-0.1f, -1, -0.5f), At(-0.1f, 1, -0.5f), At(-1, -1, -0.5f)};
    for (VertexTL& v : down)
        v[5] = -1; // facing away
    Triangle(down[0], down[1], down[2], white);
    device->EndScene();

    double lambert = 1.0 / std::sqrt(1.0 + 0.64 + 1.0);
    auto channel = [&](int ambient, double diffuse, double n)
    { return std::min(255.0, (ambient / 255.0 + diffuse * n) * 255.0); };
    // x flips under the view: the "up" triangle lands on the left of the screen.
    ExpectPixel(20, 100, channel(0x68, 0.315, lambert), channel(0x6E, 0.35, lambert),
                channel(0x5D, 0.2625, lambert), 2);
    ExpectPixel(140, 100, 0x68, 0x6E, 0x5D, 2);
}

TEST_F(PixelTest, AlphaTestDropsKeyedTexelsAndBlendingMixesHalfAlpha)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    device->EndScene();
    FrameStart(0x00FF0000);
    // Texels: keyed white (alpha 0), magenta's half-alpha key, opaque blue, alpha 7.
    IDirect3DTexture9* t = Texture(4, 1, {0x00FFFFFFu, 0x7F7F7F7Fu, 0xFF0000FFu, 0x07FFFFFFu});
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    // Opaque drawing first: only the alpha test can keep the red.
    Quad(-1, 1, 1, 0, 0.5f, t);
    // Then blended, below.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    Quad(-1, 0, 1, -1, 0.5f, t);
    device->EndScene();

    // Top half, one texel in each quarter of the width.
    ExpectPixel(20, 30, 255, 0, 0, 0);     // alpha 0: dropped
    ExpectPixel(60, 30, 127, 127, 127, 1); // passes the test, drawn as it is
    ExpectPixel(100, 30, 0, 0, 255, 0);
    ExpectPixel(140, 30, 255, 0, 0, 0); // alpha 7 < 8: dropped
    // Bottom half: the half-alpha texel mixes with the red behind it.
    double a = 127.0 / 255.0;
    ExpectPixel(60, 90, a * 127 + (1 - a) * 255, a * 127, a * 127, 2);
    ExpectPixel(20, 90, 255, 0, 0, 0);
    // Magnified, opaque blue beside keyed white fades into the red behind with no white in
    // the mix: halfway, half blue and half red.
    FrameStart(0x00FF0000);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    Quad(-1, 1, 1, -1, 0.5f, Texture(2, 1, {0xFF0000FFu, 0x00FFFFFFu}));
    device->EndScene();
    ExpectPixel(80, 60, 127, 0, 128, 6);
}

TEST_F(PixelTest, CounterClockwiseTrianglesAreCulledByDefault)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    IDirect3DTexture9* white = Solid(0xFFFFFFFFu);
    Triangle(At(-1, -1), At(1, -1), At(-1, 1), white); // counter-clockwise on the screen
    device->EndScene();
    ExpectPixel(20, 100, 0, 0, 0, 0);

    device->BeginScene();
    Triangle(At(-1, -1), At(-1, 1), At(1, -1), white); // clockwise
    device->EndScene();
    ExpectPixel(20, 100, 255, 255, 255, 0);

    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device->BeginScene();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Triangle(At(-1, -1), At(1, -1), At(-1, 1), white);
    device->EndScene();
    ExpectPixel(20, 100, 255, 255, 255, 0);
}

// The screen-space set-up of the game's images: identity projection, y mirrored by the
// view, the 640 x 480 grid mapped with the right and bottom edges divided by 639 and 479.
TEST_F(PixelTest, OverlayCoversExactlyItsPixelRectangle)
{
    ASSERT_EQ(MakeDevice(640, 480), D3D_OK);
    IDirect3DTexture9* green = Texture(512, 64, std::vector<uint32_t>(512 * 64, 0xFF00FF00u));
    D3DMATRIX mirror = Diagonal(1, -1, 1);
    device->SetTransform(D3DTS_VIEW, &mirror);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetFVF(0x102);
    // A 340 x 43 image centred on (320, 149): corner (150, 127).
    int x0 = 150, y0 = 127, w = 340, h = 43;
    float left = x0 / 640.0f * 2 - 1, top = y0 / 480.0f * 2 - 1;
    float right = (x0 + w - 1) / 639.0f * 2 - 1, bottom = (y0 + h - 1) / 479.0f * 2 - 1;
    using VertexT = std::array<float, 5>; // position, texture coordinates
    VertexT A{left, top, 0, 0, 0}, B{right, top, 0, w / 512.0f, 0},
        C{left, bottom, 0, 0, h / 64.0f}, D{right, bottom, 0, w / 512.0f, h / 64.0f};
    Triangle(A, B, C, green);
    Triangle(B, D, C, green);
    device->EndScene();

    ASSERT_TRUE(port::ReadBackBuffer(&width, &height, &pixels));
    int inside = 0;
    for (int y = 120; y < 180; y++)
        for (int x = 140; x < 500; x++)
        {
            bool expected = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
            bool green = pixels[(size_t(y) * size_t(width) + size_t(x)) * 4 + 1] == 255;
            ASSERT_EQ(green, expected) << "pixel " << x << ", " << y;
            inside += green;
        }
    EXPECT_EQ(inside, w * h);
}

// A perspective projection keeps only what lies between the near and far planes: depth
// runs 0..1 in Direct3D's clip space.
TEST_F(PixelTest, ProjectionClipsAtTheNearAndFarPlanes)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    IDirect3DTexture9* white = Solid(0xFFFFFFFFu);
    IDirect3DTexture9* blue = Solid(0xFF0000FFu);
    const float zn = 1.0f, zf = 100.0f;
    // Left-handed, 90 degrees, square pixels ignored.
    D3DMATRIX projection = Diagonal(1, 1, zf / (zf - zn), 0);
    projection._34 = 1.0f, projection._43 = -zn * zf / (zf - zn);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    // The lower-left half of the screen at depth z.
    auto lowerLeft = [&](float z, IDirect3DTexture9* t)
    { Triangle(At(-z, -z, z), At(-z, z, z), At(z, -z, z), t); };
    lowerLeft(0.8f, white); // in front of the near plane
    device->EndScene();
    ExpectPixel(20, 100, 0, 0, 0, 0);

    device->BeginScene();
    lowerLeft(150.0f, white); // beyond the far plane
    device->EndScene();
    ExpectPixel(20, 100, 0, 0, 0, 0);

    device->BeginScene();
    lowerLeft(10.0f, white); // nearer, drawn first, wins the depth test
    lowerLeft(50.0f, blue);
    device->EndScene();
    ExpectPixel(20, 100, 255, 255, 255, 0);
}

// Releasing the texture and the vertex buffer a device has bound leaves it nothing of
// theirs to reach: uploads, draws and presents afterwards still work.
TEST_F(PixelTest, ReleasedTextureAndBufferAreLetGoByTheDevice)
{
    ASSERT_EQ(MakeDevice(160, 120), D3D_OK);
    IDirect3DTexture9* bound = Solid(0xFFFFFFFFu);
    resources.pop_back();
    Triangle(At(-1, -1), At(-1, 1), At(1, -1), bound);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, buffer, 0, 32), D3D_OK);
    bound->Release();
    buffer->Release();

    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    IDirect3DTexture9* blue = Solid(0xFF0000FFu);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    Triangle(At(-1, -1), At(-1, 1), At(1, -1), blue);
    device->EndScene();
    ExpectPixel(20, 100, 0, 0, 255, 0);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(PixelTest, PrintScreenWritesNumberedPictures)
{
    ASSERT_EQ(MakeDevice(64, 48), D3D_OK);
    device->EndScene();
    FrameStart(0x00336699);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    TempDir dir;
    // In a Gloamfield folder of the desktop's pictures folder, made when missing and numbered
    // on; the folder user-dirs.dirs names without the variable; here when none can be made.
    const std::string folder = dir.Path() + "/Pictures/Gloamfield/", home = getenv("HOME");
    setenv("XDG_PICTURES_DIR", (dir.Path() + "/Pictures").c_str(), 1);
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    EXPECT_EQ(port::LastScreenshot(), folder + "screenshot-0001.png");
    keybd_event(VK_SNAPSHOT, 0, KEYEVENTF_KEYUP, 0); // the key going up takes none
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    EXPECT_EQ(port::LastScreenshot(), folder + "screenshot-0002.png");
    unsetenv("XDG_PICTURES_DIR");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", dir.Path().c_str(), 1);
    dir.Write(".config/user-dirs.dirs", std::string("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"));
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    EXPECT_EQ(port::LastScreenshot(), dir.Path() + "/Bilder/Gloamfield/screenshot-0001.png");
    setenv("HOME", "/proc/none", 1);
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    EXPECT_EQ(port::LastScreenshot(), "screenshot-0001.png");
    // Nowhere to go (the current folder removed): said on standard error.
    ASSERT_TRUE(mkdir("gone", 0755) == 0 && chdir("gone") == 0 && rmdir("../gone") == 0);
    testing::internal::CaptureStderr();
    keybd_event(VK_SNAPSHOT, 0, 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Gloamfield: no screenshot saved (screenshot-0001.png: No such file or directory)\n");
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    setenv("HOME", home.c_str(), 1);
    std::ifstream png(folder + "screenshot-0002.png", std::ios::binary);
    std::string header(24, '\0');
    ASSERT_TRUE(png.read(&header[0], 24));
    EXPECT_EQ(header.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(header[19], 64); // width, big-endian, in the IHDR chunk
    EXPECT_EQ(header[23], 48);
}
// Without vertical sync a finished frame waits for its refresh; one that misses it goes
// at once, and the refreshes after it keep their times (period 100, due at 1100).
TEST(FramePacing, LateFramesKeepTheRefreshTimes)
{
    struct Case
    {
        uint64_t due, now, show, next;
    } cases[] = {
        {0, 1000, 1000, 1100},    // the first frame goes at once
        {1100, 1050, 1100, 1200}, // early: waits for its refresh
        {1100, 1100, 1100, 1200},
        {1100, 1130, 1130, 1200}, // late: at once, the next one still at 1200
        {1100, 1199, 1199, 1200},
        {1100, 1200, 1200, 1300}, // a whole refresh missed
        {1100, 1350, 1350, 1400}, // two and a half: the next is the one after 1350
    };
    for (const Case& c : cases)
    {
        port::gl::Refresh r = port::gl::ScheduleFrame(c.due, c.now, 100);
        EXPECT_EQ(r.show, c.show) << "due " << c.due << ", ready " << c.now;
        EXPECT_EQ(r.next, c.next) << "due " << c.due << ", ready " << c.now;
    }
}
} // namespace
