// The OpenGL device's life and presentation: the context, the offscreen back buffer, and
// showing it letterboxed on the window at the display's pace.
#include "port/gl/GLDevice.h"

#include "port/Port.h"

#include <algorithm>
#include <cstring>

namespace port
{
namespace gl
{
namespace
{
GLDevice* current = nullptr;
bool pacing = true;

// Framebuffer objects: core names where the driver has them, else the EXT ones.
struct FramebufferFunctions
{
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    template <typename T> static bool Load(T* function, const char* core, const char* ext)
    {
        *function = reinterpret_cast<T>(SDL_GL_GetProcAddress(core));
        if (*function == nullptr)
            *function = reinterpret_cast<T>(SDL_GL_GetProcAddress(ext));
        return *function != nullptr;
    }

    bool LoadAll()
    {
        return Load(&genFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT") &&
               Load(&deleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT") &&
               Load(&bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT") &&
               Load(&framebufferTexture2D, "glFramebufferTexture2D", "glFramebufferTexture2DEXT") &&
               Load(&genRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT") &&
               Load(&deleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT") &&
               Load(&bindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT") &&
               Load(&renderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT") &&
               Load(&framebufferRenderbuffer, "glFramebufferRenderbuffer",
                    "glFramebufferRenderbufferEXT") &&
               Load(&checkFramebufferStatus, "glCheckFramebufferStatus",
                    "glCheckFramebufferStatusEXT");
    }
};
FramebufferFunctions fbo;
uint64_t Now()
{
    return SDL_GetPerformanceCounter();
}
} // namespace

GLDevice* CurrentDevice()
{
    return current;
}
void SetPacing(bool on)
{
    pacing = on;
}

GLDevice::GLDevice(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters)
    : window(window), parameters(parameters), view(d3d::Identity()), projection(d3d::Identity()),
      world(d3d::Identity())
{
}

HRESULT GLDevice::Create(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters,
                         GLDevice** device)
{
    *device = nullptr;
    if (current != nullptr)
        return D3DERR_NOTAVAILABLE; // one device owns the display at a time
    GLDevice* made = new GLDevice(window, parameters);
    HRESULT failure = D3D_OK;
    if (!made->Initialise(&failure))
    {
        made->references = 0;
        delete made;
        return failure;
    }
    current = made;
    *device = made;
    return D3D_OK;
}

bool GLDevice::Initialise(HRESULT* failure)
{
    wasFullscreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_GetWindowPosition(window, &windowX, &windowY);
    SDL_GetWindowSize(window, &windowWidth, &windowHeight);
    if (!parameters.Windowed && !EnterFullScreen())
    {
        *failure = D3DERR_NOTAVAILABLE;
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    context = SDL_GL_CreateContext(window);
    if (context == nullptr || !fbo.LoadAll())
    {
        *failure = D3DERR_NOTAVAILABLE;
        return false;
    }
    MakeCurrent();
    // Vertical sync where the driver has it; Present paces itself otherwise.
    vsync = SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate > 0)
        framePeriod = 1.0 / mode.refresh_rate;
    fbo.genFramebuffers(1, &framebuffer);
    *failure = MakeBackBuffer();
    if (FAILED(*failure))
        return false;
    ApplyDefaults();
    return true;
}

bool GLDevice::EnterFullScreen()
{
    // Cover the screen by hand too: without a window manager (a bare X server) the
    // full-screen request alone leaves the window at its old size.
    SDL_Rect screen;
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &screen) == 0)
    {
        SDL_SetWindowPosition(window, screen.x, screen.y);
        SDL_SetWindowSize(window, screen.w, screen.h);
    }
    if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
        return false;
    SDL_RaiseWindow(window);
    return true;
}

HRESULT GLDevice::MakeBackBuffer()
{
    // A back buffer the driver cannot make is refused as Direct3D refuses a mode.
    GLint maxRenderbuffer = 0, maxTexture = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    GLint limit = std::min(maxRenderbuffer, maxTexture);
    if (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0)
        return D3DERR_INVALIDCALL;
    if (parameters.BackBufferWidth > UINT(limit) || parameters.BackBufferHeight > UINT(limit))
        return D3DERR_NOTAVAILABLE;
    if (colour)
        glDeleteTextures(1, &colour);
    if (depth)
        fbo.deleteRenderbuffers(1, &depth);
    colour = depth = 0;
    GLsizei w = GLsizei(parameters.BackBufferWidth), h = GLsizei(parameters.BackBufferHeight);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fbo.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    if (parameters.EnableAutoDepthStencil)
    {
        fbo.genRenderbuffers(1, &depth);
        fbo.bindRenderbuffer(GL_RENDERBUFFER, depth);
        GLenum depthFormat = parameters.AutoDepthStencilFormat == D3DFMT_D16 ? GL_DEPTH_COMPONENT16
                                                                           : GL_DEPTH_COMPONENT24;
        fbo.renderbufferStorage(GL_RENDERBUFFER, depthFormat, w, h);
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    if (glGetError() != GL_NO_ERROR ||
        fbo.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return D3DERR_OUTOFVIDEOMEMORY;
    glViewport(0, 0, w, h);
    return D3D_OK;
}

HRESULT GLDevice::TestCooperativeLevel()
{
    return cooperativeLevel;
}

HRESULT GLDevice::Reset(D3DPRESENT_PARAMETERS* p)
{
    // As on Direct3D: a device that may be reset, with no default-pool resource alive.
    if (p == nullptr || cooperativeLevel == D3DERR_DEVICELOST || !buffers.empty())
        return D3DERR_INVALIDCALL;
    for (const GLTexture* t : textures)
        if (t->pool == D3DPOOL_DEFAULT)
            return D3DERR_INVALIDCALL;
    if (p->BackBufferWidth > d3d::MAX_BACK_BUFFER_SIDE ||
        p->BackBufferHeight > d3d::MAX_BACK_BUFFER_SIDE)
        return D3DERR_NOTAVAILABLE;
    MakeCurrent();
    bool toFullScreen = !p->Windowed && parameters.Windowed;
    bool toWindow = p->Windowed && !parameters.Windowed;
    parameters = *p;
    if (toFullScreen)
    {
        SDL_GetWindowPosition(window, &windowX, &windowY);
        SDL_GetWindowSize(window, &windowWidth, &windowHeight);
        if (!EnterFullScreen())
            return D3DERR_NOTAVAILABLE;
    }
    else if (toWindow)
    {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, windowWidth, windowHeight);
        SDL_SetWindowPosition(window, windowX, windowY);
    }
    HRESULT made = MakeBackBuffer();
    if (FAILED(made))
        return made;
    // Everything the device held goes back to its defaults.
    view = projection = world = d3d::Identity();
    light0 = D3DLIGHT9{};
    light0Set = light0Enabled = false;
    material = D3DMATERIAL9{};
    boundTexture = nullptr;
    fvf = 0;
    stream = nullptr;
    streamOffset = streamStride = 0;
    inScene = false;
    transformsDirty = lightDirty = true;
    nextPresent = 0;
    ApplyDefaults();
    cooperativeLevel = D3D_OK;
    return D3D_OK;
}

GLDevice::~GLDevice()
{
    if (context != nullptr)
    {
        MakeCurrent();
        if (framebuffer)
        {
            fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
            fbo.deleteFramebuffers(1, &framebuffer);
        }
        if (depth)
            fbo.deleteRenderbuffers(1, &depth);
        if (colour)
            glDeleteTextures(1, &colour);
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
    }
    if (!parameters.Windowed && !wasFullscreen)
    {
        SDL_SetWindowFullscreen(window, 0);
        SDL_SetWindowSize(window, windowWidth, windowHeight);
        SDL_SetWindowPosition(window, windowX, windowY);
    }
    if (current == this)
        current = nullptr;
}

void GLDevice::MakeCurrent()
{
    if (SDL_GL_GetCurrentContext() != context)
        SDL_GL_MakeCurrent(window, context);
}

HRESULT GLDevice::BeginScene()
{
    if (inScene)
        return D3DERR_INVALIDCALL;
    inScene = true;
    return D3D_OK;
}

HRESULT GLDevice::EndScene()
{
    if (!inScene)
        return D3DERR_INVALIDCALL;
    inScene = false;
    MakeCurrent();
    glFlush();
    return D3D_OK;
}

void GLDevice::ShowBackBuffer()
{
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    fbo.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Scaled to the screen with its aspect kept; the rest stays black.
    double scale = std::min(double(drawableWidth) / parameters.BackBufferWidth,
                            double(drawableHeight) / parameters.BackBufferHeight);
    int w = int(parameters.BackBufferWidth * scale + 0.5);
    int h = int(parameters.BackBufferHeight * scale + 0.5);
    glViewport((drawableWidth - w) / 2, (drawableHeight - h) / 2, w, h);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glEnd();
    SDL_GL_SwapWindow(window);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    if (boundTexture)
        glBindTexture(GL_TEXTURE_2D, boundTexture->name);
}

// Without vertical sync (a virtual X server has none) frames would follow as fast as the
// processor allows, and the game moves a fixed distance a frame: wait for where the next
// refresh would be.
void GLDevice::Pace()
{
    if (!pacing)
        return;
    uint64_t frequency = SDL_GetPerformanceFrequency();
    uint64_t period = uint64_t(framePeriod * double(frequency));
    uint64_t now = Now();
    if (nextPresent == 0 || now > nextPresent + period)
        nextPresent = now; // first frame, or far behind: start again from here
    else if (now < nextPresent)
    {
        SDL_Delay(Uint32((nextPresent - now) * 1000 / frequency));
        while (Now() < nextPresent)
        {
        }
    }
    nextPresent += period;
}

HRESULT GLDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND, const RGNDATA*)
{
    if (!d3d::ValidPresent(inScene, parameters.Windowed != FALSE, sourceRect, destRect))
        return D3DERR_INVALIDCALL;
    if (cooperativeLevel != D3D_OK)
        return D3DERR_DEVICELOST;
    MakeCurrent();
    uint64_t before = Now();
    ShowBackBuffer();
    // A swap that came back at once did not wait for the display.
    double swapSeconds = double(Now() - before) / double(SDL_GetPerformanceFrequency());
    if (!vsync || swapSeconds < framePeriod * 0.25)
        Pace();
    else
        nextPresent = 0;
    return D3D_OK;
}

void GLDevice::ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba)
{
    MakeCurrent();
    int w = int(parameters.BackBufferWidth), h = int(parameters.BackBufferHeight);
    std::vector<uint8_t> rows(size_t(w) * h * 4);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    // OpenGL's rows start at the bottom.
    rgba->resize(rows.size());
    size_t stride = size_t(w) * 4;
    for (int y = 0; y < h; y++)
        std::memcpy(rgba->data() + size_t(y) * stride, rows.data() + size_t(h - 1 - y) * stride,
                    stride);
    for (size_t i = 3; i < rgba->size(); i += 4)
        (*rgba)[i] = 0xFF;
    *width = w;
    *height = h;
}
} // namespace gl
} // namespace port
