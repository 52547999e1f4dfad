// The port layer without a display: the memory device, windows, messages, the cursor, key
// events, modules and scripted DirectInput.
#include "GameParameters.h"
#include "port/DInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Described(const std::vector<port::DeviceCall>& calls)
{
    std::vector<std::string> out;
    for (const port::DeviceCall& c : calls)
        out.push_back(c.Describe());
    return out;
}

using port::CallKind;
const HRESULT BAD = D3DERR_INVALIDCALL;
char windowBytes;
const HWND WINDOW = reinterpret_cast<HWND>(&windowBytes); // any window will do

class MemoryDeviceTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        D3DPRESENT_PARAMETERS p = GameParameters();
        IDirect3DDevice9* created = nullptr;
        ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, WINDOW, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                    &p, &created),
                  D3D_OK);
        ASSERT_EQ(created, static_cast<IDirect3DDevice9*>(device = port::LastMemoryDevice()));
    }
    void TearDown() override
    {
        resources.insert(resources.end(), {device, d3d});
        for (IUnknown* r : resources)
            if (r)
                r->Release();
    }
    IDirect3DVertexBuffer9* Buffer(UINT triangles)
    {
        IDirect3DVertexBuffer9* vb = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(triangles * 96, 0, 0x112, D3DPOOL_DEFAULT, &vb, 0), 0);
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

    IDirect3D9* d3d = (port::SetHeadless(true), Direct3DCreate9(31));
    port::MemoryDevice* device = nullptr;
    std::vector<IUnknown*> resources; // released before the device
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
    device->SetStreamSource(0, vb, 96, 32);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 96774, 2), D3D_OK);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Described(device->calls),
              (std::vector<std::string>{
                  "Clear(0, D3DCLEAR_TARGET|D3DCLEAR_ZBUFFER, 0x0076D3E4, 1, 0)", "BeginScene()",
                  "SetFVF(0x112)", "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)",
                  "SetTransform(D3DTS_VIEW)", "SetTexture(0, tex#1)",
                  "SetSamplerState(0, D3DSAMP_MAGFILTER, 2)", "SetStreamSource(0, vb#1, 96, 32)",
                  "DrawPrimitive(D3DPT_TRIANGLELIST, 96774, 2)", "EndScene()", "Present()"}));
    // The draw remembers what it drew with; the device keeps what was set.
    const port::DeviceCall& draw = device->calls[8];
    EXPECT_EQ(draw.texture + " " + draw.vertexBuffer, "tex#1 vb#1");
    EXPECT_EQ(draw.fvf, 0x112u);
    EXPECT_EQ(draw.offset, 96u);
    EXPECT_EQ(device->Transform(D3DTS_VIEW)._11, 2.0f);
    EXPECT_EQ(device->RenderState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(device->RenderState(D3DRS_ZENABLE),
              DWORD(D3DZB_TRUE)); // a depth buffer was asked for
    EXPECT_EQ(device->clearColour, 0x0076D3E4u);
}

TEST_F(MemoryDeviceTest, BuffersScenesAndDrawsAreCheckedAsDirect3DChecksThem)
{
    IDirect3DVertexBuffer9* vb = Buffer(100);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(960, 0, &data, 0), D3D_OK); // size 0 with an offset runs to the end
    EXPECT_EQ(data, device->FindVertexBuffer(vb)->bytes.data() + 960);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), BAD); // locked
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    EXPECT_EQ(vb->Unlock(), BAD); // nothing left locked
    EXPECT_EQ(vb->Lock(96, 9600 - 95, &data, 0), BAD);
    EXPECT_EQ(vb->Lock(96, 9600 - 96, &data, 0) | vb->Unlock(), D3D_OK);
    IDirect3DVertexBuffer9* none = nullptr; // smaller than one vertex, and no scratch pool
    EXPECT_EQ(device->CreateVertexBuffer(16, 0, 0x112, D3DPOOL_DEFAULT, &none, nullptr), BAD);
    EXPECT_EQ(device->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_SCRATCH, &none, nullptr), BAD);

    device->SetFVF(0x112);
    device->SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), BAD); // outside a scene
    EXPECT_EQ(device->EndScene(), BAD);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), BAD);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 99), D3D_OK);  // to the last byte
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 99), BAD);     // one past
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 300, 0), D3D_OK); // nothing to draw
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), BAD);  // inside a scene
    // Drawing from memory copies the vertices and leaves stream 0 unset, as Direct3D does.
    float vertices[15] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 20), D3D_OK);
    EXPECT_EQ(device->calls.back().Describe(), "DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, 20)");
    EXPECT_EQ(std::vector<uint8_t>(device->calls.back().vertices),
              std::vector<uint8_t>(reinterpret_cast<uint8_t*>(vertices),
                                   reinterpret_cast<uint8_t*>(vertices + 15)));
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), BAD);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    // A depth-16 buffer has no stencil to clear.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), BAD);
}

TEST_F(MemoryDeviceTest, TexturesGoThroughSystemMemoryLikeOnTheRealDevice)
{
    IDirect3DTexture9* staging = Texture(4, 2, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Texture(4, 2, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT rect;
    EXPECT_EQ(target->LockRect(0, &rect, nullptr, 0), BAD); // default pool
    ASSERT_EQ(staging->LockRect(0, &rect, nullptr, 0), D3D_OK);
    EXPECT_EQ(rect.Pitch, 16);
    EXPECT_EQ(staging->LockRect(0, &rect, nullptr, 0), BAD); // already locked
    static_cast<uint32_t*>(rect.pBits)[4 + 3] = 0x7F112233u;
    EXPECT_EQ(staging->UnlockRect(0), D3D_OK);
    ASSERT_EQ(device->UpdateTexture(staging, target), D3D_OK);
    EXPECT_EQ(device->FindTexture(target)->Texel(3, 1), 0x7F112233u);
    // The wrong way round, or between sizes that differ.
    EXPECT_EQ(device->UpdateTexture(target, staging), BAD);
    EXPECT_EQ(device->UpdateTexture(staging, Texture(8, 2, D3DPOOL_DEFAULT)), BAD);
    EXPECT_EQ(device->SetTexture(0, staging), BAD); // only the default pool can be bound
}

TEST_F(MemoryDeviceTest, FailuresAreInjectedByKindOrByNameAndChangeNothing)
{
    ASSERT_TRUE(device->FailNext("Present", D3DERR_DEVICELOST));
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->calls.back().result, D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK); // only once
    device->FailAlways(CallKind::SetFVF, E_FAIL);
    EXPECT_EQ(device->SetFVF(0x112) | device->SetFVF(0x112), E_FAIL);
    EXPECT_EQ(device->fvf, 0u);
    device->ClearFailures();
    EXPECT_EQ(device->SetFVF(0x112), D3D_OK);
    IDirect3DVertexBuffer9* vb = Buffer(1);
    void* data = nullptr;
    device->FailNext(CallKind::Lock, BAD);
    EXPECT_EQ(vb->Lock(0, 0, &data, 0), BAD);
    EXPECT_EQ(vb->Unlock(), BAD); // the failed lock left it unlocked
}

TEST_F(MemoryDeviceTest, ResourcesHoldTheDeviceAndLetGoOfWhatIsReleased)
{
    IDirect3DVertexBuffer9* vb = Buffer(1);
    IDirect3DTexture9* tex = Texture(4, 4, D3DPOOL_DEFAULT);
    resources.clear();
    device->SetTexture(0, tex);
    device->SetStreamSource(0, vb, 0, 32);
    EXPECT_EQ(device->References(), 3u);
    vb->Release();
    tex->Release();
    // Nothing released stays bound or findable.
    EXPECT_TRUE(!device->textures[0] && !device->streamSource && !device->FindTexture(tex));
    port::MemoryDevice* memory = device;
    device = nullptr;
    EXPECT_EQ(memory->Release(), 0u);
    // Still readable after the game let go of it.
    ASSERT_EQ(port::LastMemoryDevice(), memory);
    std::vector<port::DeviceCall> releases;
    for (const port::DeviceCall& c : memory->calls)
        if (c.kind == CallKind::Release)
            releases.push_back(c);
    EXPECT_EQ(Described(releases),
              (std::vector<std::string>{"Release(vb#1)", "Release(tex#1)", "Release(device)"}));
}

TEST_F(MemoryDeviceTest, Direct3DRefusesDevicesThatCannotBeMade)
{
    EXPECT_EQ(Direct3DCreate9(30), nullptr); // an SDK the runtime was not built for
    IDirect3DDevice9* made = reinterpret_cast<IDirect3DDevice9*>(1);
    auto create = [&](D3DPRESENT_PARAMETERS p, HWND window)
    {
        return d3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_MIXED_VERTEXPROCESSING, &p,
                                 &made);
    };
    EXPECT_EQ(create(GameParameters(0, 768), WINDOW), BAD);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(create(GameParameters(), nullptr), BAD); // no window at all
    ASSERT_EQ(create(GameParameters(640, 480), WINDOW), D3D_OK);
    EXPECT_EQ(port::LastMemoryDevice()->presentParameters.BackBufferWidth, 640u);
    EXPECT_EQ(port::LastMemoryDevice()->focusWindow, WINDOW);
    made->Release();
}
// --- Windows, messages, modules and DirectInput ----------------------------------------

std::vector<UINT> received;

LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back(message);
    if (message != WM_CLOSE)
        return DefWindowProcA(window, message, wParam, lParam);
    PostQuitMessage(7);
    return 0;
}

class HeadlessWindows : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        port::SetHeadless(true);
        received.clear();
        ASSERT_NE(RegisterClassExA(&windowClass), 0);
        window = CreateWindowExA(0, "PortTest", "Gloamfield", WS_POPUP | WS_SYSMENU, CW_USEDEFAULT,
                                 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(window);
        UnregisterClassA("PortTest", nullptr);
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            continue; // nothing left for the next test
    }
    WNDCLASSEXA windowClass{
        sizeof(WNDCLASSEXA), 0,      Recorder, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
        "PortTest",          nullptr};
    HWND window = nullptr;
};

TEST_F(HeadlessWindows, ClassesWindowsCursorKeysAndModulesFollowWin32Rules)
{
    windowClass.lpszClassName = "porttest"; // class names ignore case
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0),
              nullptr);
    EXPECT_FALSE(UnregisterClassA("PortTest", nullptr)); // a window of it is open
    EXPECT_EQ(received, std::vector<UINT>{WM_CREATE});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_FALSE(ShowWindow(window, SW_SHOWNORMAL)); // was hidden
    EXPECT_TRUE(ShowWindow(window, SW_SHOWNORMAL));
    EXPECT_TRUE(MoveWindow(window, 192, 144, 640, 480, FALSE));
    // The cursor's display counter starts at 0, shown.
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    port::ClearKeyEvents();
    keybd_event(VK_SNAPSHOT, 0x37, KEYEVENTF_KEYUP, 0);
    ASSERT_EQ(port::KeyEvents().size(), 1u);
    const port::KeyEventRecord& key = port::KeyEvents()[0];
    EXPECT_EQ(std::to_string(key.virtualKey) + " " + std::to_string(key.scanCode) + " " +
                  std::to_string(key.flags),
              "44 55 2"); // VK_SNAPSHOT, its scan code, KEYEVENTF_KEYUP
    // The two DirectX libraries are built in; module names ignore case.
    HMODULE d3d9 = LoadLibraryA("D3D9.DLL"), dinput = LoadLibraryA("dinput8.dll");
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(d3d9, "Direct3DCreate9")),
              reinterpret_cast<void*>(&Direct3DCreate9));
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(dinput, "DirectInput8Create")),
              reinterpret_cast<void*>(&DirectInput8Create));
    EXPECT_EQ(GetProcAddress(d3d9, "DirectInput8Create"), nullptr); // the other's
    EXPECT_EQ(LoadLibraryA("ddraw.dll"), nullptr);
}

TEST_F(HeadlessWindows, MessagesReachTheProcedureAndQuitComesLast)
{
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE)); // never blocks
    port::PostWindowMessage(window, WM_CLOSE);
    port::PostWindowMessage(window, WM_PAINT, 3, 4);
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_CLOSE));
    DispatchMessageA(&msg);
    EXPECT_EQ(received.back(), UINT(WM_CLOSE));
    // The quit waits for the messages posted before it, and comes whatever window the
    // loop asks for.
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    EXPECT_FALSE(PeekMessageA(&msg, window, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)); // filtered out
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.lParam, LPARAM(4));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(7));
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    // A window destroyed takes its waiting messages with it.
    port::PostWindowMessage(window, WM_PAINT);
    int windows = port::WindowCount();
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(received.back(), UINT(WM_DESTROY));
    EXPECT_EQ(port::WindowCount(), windows - 1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(UnregisterClassA("PortTest", nullptr));
    window = nullptr;
}

class ScriptedInput : public HeadlessWindows
{
  protected:
    void SetUp() override
    {
        HeadlessWindows::SetUp();
        port::ClearScriptedInput();
        void* out = nullptr;
        ASSERT_EQ(DirectInput8Create(self, 0x0800, IID_IDirectInput8A, &out, nullptr), DI_OK);
        input = static_cast<IDirectInput8A*>(out);
        ASSERT_EQ(input->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
        ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    }
    void TearDown() override
    {
        mouse->Release();
        keyboard->Release();
        input->Release();
        HeadlessWindows::TearDown();
    }
    // Both devices set up as the game sets them up.
    void Acquire()
    {
        const DWORD level = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
        DIPROPDWORD axis{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE},
                         DIPROPAXISMODE_REL};
        ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse) | mouse->SetCooperativeLevel(window, level) |
                      mouse->SetProperty(DIPROP_AXISMODE, &axis.diph) | mouse->Acquire(),
                  DI_OK);
        ASSERT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard) |
                      keyboard->SetCooperativeLevel(window, level) | keyboard->Acquire(),
                  DI_OK);
    }
    HINSTANCE self = GetModuleHandleA(nullptr);
    IDirectInput8A* input = nullptr;
    IDirectInputDevice8A *mouse = nullptr, *keyboard = nullptr;
    DIMOUSESTATE state{};
    BYTE keys[256] = {};
};

TEST_F(ScriptedInput, DevicesReadTheScriptedStateUntilInputIsLost)
{
    void* out = nullptr; // an older version than the game's is refused
    EXPECT_EQ(DirectInput8Create(self, 0x0700, IID_IDirectInput8A, &out, 0), HRESULT(0x8007047E));
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    Acquire();
    for (int i = 0; i < 256; i++)
        keys[i] = BYTE(i | 1);
    port::SetScriptedKeys(keys); // any value but 0 holds a key down
    port::SetScriptedKey(DIK_S, false);
    port::SetScriptedMouse(5, -3, false, true);
    port::SetScriptedMouse(2, 0, true, true); // motion adds up until read
    ASSERT_EQ(keyboard->GetDeviceState(256, keys), DI_OK);
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(keys[i], i == DIK_S ? 0 : 0x80) << "key " << i;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -3);
    EXPECT_EQ(std::vector<BYTE>(state.rgbButtons, state.rgbButtons + 4),
              (std::vector<BYTE>{0x80, 0x80, 0, 0}));
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0); // relative: the motion was taken by the first read
    EXPECT_EQ(mouse->GetDeviceState(20, &state), DIERR_INVALIDPARAM); // not the format's size
    // Absolute axes add the motion up.
    DIPROPDWORD absolute{{sizeof(DIPROPDWORD), sizeof(DIPROPHEADER), 0, DIPH_DEVICE},
                         DIPROPAXISMODE_ABS};
    EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &absolute.diph), DIERR_ACQUIRED);
    ASSERT_EQ(mouse->Unacquire() | mouse->SetProperty(DIPROP_AXISMODE, &absolute.diph) |
                  mouse->Acquire(),
              DI_OK);
    for (LONG step : {4, 6}) // the axes read 4, then 10
    {
        port::SetScriptedMouse(step, -step, false, false);
        ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
        EXPECT_EQ(state.lX, step == 4 ? 4 : 10);
        EXPECT_EQ(state.lY, step == 4 ? -4 : -10);
    }
    // Input lost to another window fails each device's next read, until acquired again.
    port::LoseInput();
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(256, keys), DI_OK);
}

} // namespace
