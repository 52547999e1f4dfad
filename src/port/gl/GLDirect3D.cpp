// Direct3D 9 on the display: the Direct3D object, screenshots and reading the back buffer.
#include "port/Port.h"
#include "port/PortInternal.h"
#include "port/gl/GLDevice.h"
#include "port/gl/Shown.h"

#include <cstdio>
#include <sys/stat.h>

namespace port
{
namespace gl
{
void SetPacing(bool on);
}

namespace
{
std::string lastScreenshot;

class GLDirect3D : public RefCounted<IDirect3D9>
{
  public:
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* p, IDirect3DDevice9** returned) override
    {
        if (returned == nullptr || p == nullptr)
            return D3DERR_INVALIDCALL;
        *returned = nullptr;
        if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL)
            return D3DERR_INVALIDCALL;
        if (!d3d::OneVertexProcessing(behaviorFlags))
            return D3DERR_INVALIDCALL;
        HWND target = p->hDeviceWindow ? p->hDeviceWindow : focusWindow;
        internal::WindowRecord* window = internal::FindWindowRecord(target);
        if (window == nullptr || window->display == nullptr)
            return D3DERR_INVALIDCALL;
        if (!p->Windowed &&
            (p->BackBufferFormat != D3DFMT_X8R8G8B8 && p->BackBufferFormat != D3DFMT_A8R8G8B8))
            return D3DERR_INVALIDCALL;
        if (p->BackBufferWidth > d3d::MAX_BACK_BUFFER_SIDE ||
            p->BackBufferHeight > d3d::MAX_BACK_BUFFER_SIDE)
            return D3DERR_NOTAVAILABLE;
        if (p->EnableAutoDepthStencil && p->AutoDepthStencilFormat != D3DFMT_D16 &&
            p->AutoDepthStencilFormat != D3DFMT_D24X8 && p->AutoDepthStencilFormat != D3DFMT_D32)
            return D3DERR_INVALIDCALL;
        gl::GLDevice* device = nullptr;
        HRESULT result = gl::GLDevice::Create(window->display, *p, &device);
        if (SUCCEEDED(result))
            *returned = device;
        return result;
    }

  private:
    ~GLDirect3D() override = default;
};

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}
} // namespace

namespace internal
{
IDirect3D9* CreateDisplayDirect3D()
{
    if (!DisplayAvailable())
        return nullptr;
    return new GLDirect3D();
}

void SaveScreenshot()
{
    int width, height;
    std::vector<uint8_t> rgba;
    if (!port::ReadBackBuffer(&width, &height, &rgba))
        return;
    // The next free number, so earlier pictures are never overwritten.
    for (int n = 1; n <= 9999; n++)
    {
        char name[32];
        std::snprintf(name, sizeof name, "screenshot-%04d.png", n);
        if (Exists(name))
            continue;
        if (WritePng(name, width, height, rgba))
            lastScreenshot = name;
        return;
    }
}
} // namespace internal

bool ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba)
{
    gl::GLDevice* device = gl::CurrentDevice();
    if (device == nullptr)
        return false;
    device->ReadBackBuffer(width, height, rgba);
    return true;
}

namespace gl
{
bool ReadWindowPixels(int* width, int* height, std::vector<uint8_t>* rgba)
{
    GLDevice* device = CurrentDevice();
    return device != nullptr && device->ReadWindow(width, height, rgba);
}
} // namespace gl

void SetPresentPacing(bool on)
{
    gl::SetPacing(on);
}
std::string LastScreenshot()
{
    return lastScreenshot;
}
} // namespace port
