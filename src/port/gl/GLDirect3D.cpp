// Direct3D 9 on the display: the Direct3D object, screenshots and reading the back buffer.
#include "port/Port.h"
#include "port/PortInternal.h"
#include "port/gl/GLDevice.h"
#include "port/gl/Shown.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

bool MakeFolder(const std::string& path)
{
    struct stat info;
    return (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) && stat(path.c_str(), &info) == 0 &&
           S_ISDIR(info.st_mode);
}

// The player's pictures folder as the desktop names it: $XDG_PICTURES_DIR, else the line
// of user-dirs.dirs that sets it, else ~/Pictures. Empty without a home.
std::string PicturesFolder()
{
    const char* set = std::getenv("XDG_PICTURES_DIR");
    if (set != nullptr && *set != '\0')
        return set;
    const char* homeVariable = std::getenv("HOME");
    if (homeVariable == nullptr || *homeVariable == '\0')
        return "";
    const std::string home = homeVariable;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::ifstream dirs((config != nullptr && *config != '\0' ? config : home + "/.config") +
                       "/user-dirs.dirs");
    std::string line, pictures = home + "/Pictures";
    const std::string key = "XDG_PICTURES_DIR=\"";
    while (std::getline(dirs, line))
    {
        if (line.compare(0, key.size(), key) != 0 || line.back() != '"')
            continue;
        std::string path = line.substr(key.size(), line.size() - key.size() - 1);
        if (path.compare(0, 5, "$HOME") == 0)
            path = home + path.substr(5);
        // The home itself means the desktop has no pictures folder.
        if (!path.empty() && path[0] == '/' && path != home && path != home + "/")
            pictures = path;
    }
    return pictures;
}

// A Gloamfield folder in the pictures folder, made when missing; the current folder when
// it cannot be.
std::string ScreenshotFolder()
{
    const std::string pictures = PicturesFolder();
    if (!pictures.empty() && MakeFolder(pictures) && MakeFolder(pictures + "/Gloamfield"))
        return pictures + "/Gloamfield/";
    return "";
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
    // A frame drawn straight into the window is gone from it once shown: the next one is
    // taken instead, just before it is.
    gl::GLDevice* device = gl::CurrentDevice();
    if (device != nullptr && !device->FrameReadable())
    {
        device->TakeScreenshotAtPresent();
        return;
    }
    int width, height;
    std::vector<uint8_t> rgba;
    if (!port::ReadBackBuffer(&width, &height, &rgba))
        return;
    // The pictures folder, else the current one; a picture that finds no place says so.
    const std::string pictures = ScreenshotFolder();
    std::vector<std::string> folders{pictures};
    if (!pictures.empty())
        folders.push_back("");
    std::string why;
    for (const std::string& folder : folders)
    {
        // The next free number, so earlier pictures are never overwritten.
        std::string path;
        for (int n = 1; n <= 9999 && path.empty(); n++)
        {
            char name[32];
            std::snprintf(name, sizeof name, "screenshot-%04d.png", n);
            if (!Exists(folder + name))
                path = folder + name;
        }
        if (path.empty())
            why = folder + "screenshot-9999.png: every number is taken";
        else if (WritePng(path, width, height, rgba))
        {
            lastScreenshot = path;
            std::printf("Screenshot saved to %s\n", path.c_str());
            std::fflush(stdout);
            return;
        }
        else
            why = path + ": " + std::strerror(errno);
    }
    std::fprintf(stderr, "Gloamfield: no screenshot saved (%s)\n", why.c_str());
    std::fflush(stderr);
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
    internal::WindowRecord* window = internal::DisplayedWindow();
    return CurrentDevice() != nullptr && window != nullptr &&
           internal::DisplayReadWindow(window->display, width, height, rgba);
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
