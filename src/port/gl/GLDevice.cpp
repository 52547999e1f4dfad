// The OpenGL device's life and presentation: the context, the back buffer (the window's
// own framebuffer, or an offscreen one shown letterboxed), presenting at the display's pace.
#include "port/gl/GLDevice.h"

#include "port/Port.h"
#include "port/PortInternal.h"
#include "port/gl/Pacing.h"
#include "port/sdl/WindowManager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

namespace port
{
namespace gl
{
namespace
{
GLDevice* current = nullptr;
bool pacing = true;

template <typename T> bool Find(T* function, const char* core, const char* ext)
{
    *function = reinterpret_cast<T>(SDL_GL_GetProcAddress(core));
    if (*function == nullptr)
        *function = reinterpret_cast<T>(SDL_GL_GetProcAddress(ext));
    return *function != nullptr;
}

uint64_t Now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return uint64_t(t.tv_sec) * 1000000000u + uint64_t(t.tv_nsec);
}

void SleepUntil(uint64_t when)
{
    timespec t{time_t(when / 1000000000u), long(when % 1000000000u)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR)
    {
    }
}
} // namespace

Functions fn;

bool Functions::Load()
{
    return Find(&genFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT") &&
           Find(&deleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT") &&
           Find(&bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT") &&
           Find(&framebufferTexture2D, "glFramebufferTexture2D", "glFramebufferTexture2DEXT") &&
           Find(&genRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT") &&
           Find(&deleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT") &&
           Find(&bindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT") &&
           Find(&renderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT") &&
           Find(&framebufferRenderbuffer, "glFramebufferRenderbuffer",
                "glFramebufferRenderbufferEXT") &&
           Find(&checkFramebufferStatus, "glCheckFramebufferStatus",
                "glCheckFramebufferStatusEXT") &&
           Find(&genBuffers, "glGenBuffers", "glGenBuffersARB") &&
           Find(&deleteBuffers, "glDeleteBuffers", "glDeleteBuffersARB") &&
           Find(&bindBuffer, "glBindBuffer", "glBindBufferARB") &&
           Find(&bufferData, "glBufferData", "glBufferDataARB") &&
           Find(&mapBuffer, "glMapBuffer", "glMapBufferARB") &&
           Find(&unmapBuffer, "glUnmapBuffer", "glUnmapBufferARB");
}

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
    if (context == nullptr || !fn.Load())
    {
        *failure = D3DERR_NOTAVAILABLE;
        return false;
    }
    MakeCurrent();
    // Vertical sync where the driver has it; Present paces itself otherwise. A device asked to
    // present immediately (a time demo) waits for neither.
    if (parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE)
        SDL_GL_SetSwapInterval(0);
    else
        vsync = SDL_GL_SetSwapInterval(1) == 0 && SDL_GL_GetSwapInterval() == 1;
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate > 0)
        framePeriod = 1000000000u / uint64_t(mode.refresh_rate);
    // Whether the window's framebuffer can take frames that need a depth buffer.
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    windowHasDepth = depthBits > 0;
    *failure = MakeBackBuffer();
    if (FAILED(*failure))
        return false;
    ApplyDefaults();
    return true;
}

bool GLDevice::EnterFullScreen()
{
    // A window manager makes the window cover the screen when asked; with none (a bare X
    // server) nobody would answer the request, and SDL would wait a tenth of a second for
    // a change that never comes: the window covers the screen by hand instead.
    coveredByHand = !internal::DisplayHasWindowManager(window);
    if (!coveredByHand)
    {
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            return false;
        SDL_RaiseWindow(window);
        return true;
    }
    SDL_Rect screen;
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &screen) == 0)
    {
        SDL_SetWindowPosition(window, screen.x, screen.y);
        SDL_SetWindowSize(window, screen.w, screen.h);
    }
    SDL_SetWindowData(window, internal::COVERED_BY_HAND, this);
    SDL_RaiseWindow(window);
    return true;
}

void GLDevice::LeaveFullScreen()
{
    if (coveredByHand)
        SDL_SetWindowData(window, internal::COVERED_BY_HAND, nullptr);
    else
        SDL_SetWindowFullscreen(window, 0);
    coveredByHand = false;
    SDL_SetWindowSize(window, windowWidth, windowHeight);
    SDL_SetWindowPosition(window, windowX, windowY);
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
    DeleteOffscreen(); // made again at the new size if it is needed
    return ChooseTarget();
}

HRESULT GLDevice::ChooseTarget()
{
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    GLsizei w = GLsizei(parameters.BackBufferWidth), h = GLsizei(parameters.BackBufferHeight);
    // The frame goes straight into the window when it fits it exactly: no copy, no pass.
    direct = drawableWidth == w && drawableHeight == h && (windowHasDepth || !HasDepth());
    if (!direct && framebuffer == 0)
    {
        HRESULT made = MakeOffscreen();
        if (FAILED(made))
            return made;
    }
    fn.bindFramebuffer(GL_FRAMEBUFFER, direct ? 0 : framebuffer);
    glViewport(0, 0, w, h);
    return D3D_OK;
}

HRESULT GLDevice::MakeOffscreen()
{
    GLsizei w = GLsizei(parameters.BackBufferWidth), h = GLsizei(parameters.BackBufferHeight);
    fn.genFramebuffers(1, &framebuffer);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (boundTexture)
        glBindTexture(GL_TEXTURE_2D, boundTexture->name);
    fn.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fn.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    if (HasDepth())
    {
        fn.genRenderbuffers(1, &depth);
        fn.bindRenderbuffer(GL_RENDERBUFFER, depth);
        GLenum depthFormat = parameters.AutoDepthStencilFormat == D3DFMT_D16 ? GL_DEPTH_COMPONENT16
                                                                             : GL_DEPTH_COMPONENT24;
        fn.renderbufferStorage(GL_RENDERBUFFER, depthFormat, w, h);
        fn.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    if (glGetError() != GL_NO_ERROR ||
        fn.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    {
        DeleteOffscreen();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

void GLDevice::DeleteOffscreen()
{
    if (framebuffer)
    {
        fn.bindFramebuffer(GL_FRAMEBUFFER, 0);
        fn.deleteFramebuffers(1, &framebuffer);
    }
    if (depth)
        fn.deleteRenderbuffers(1, &depth);
    if (colour)
        glDeleteTextures(1, &colour);
    framebuffer = colour = depth = 0;
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
        LeaveFullScreen();
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
    displayPaces = false;
    ApplyDefaults();
    cooperativeLevel = D3D_OK;
    return D3D_OK;
}

GLDevice::~GLDevice()
{
    if (context != nullptr)
    {
        MakeCurrent();
        DeleteOffscreen();
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
    }
    if (!parameters.Windowed && !wasFullscreen)
        LeaveFullScreen();
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

void GLDevice::ShowScaled(int drawableWidth, int drawableHeight)
{
    GLint w = GLint(parameters.BackBufferWidth), h = GLint(parameters.BackBufferHeight);
    // The window's framebuffer first: the state kept below includes its draw buffer.
    fn.bindFramebuffer(GL_FRAMEBUFFER, 0);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, drawableWidth, drawableHeight);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // Scaled to the screen with its aspect kept; the rest stays black.
    double scale = std::min(double(drawableWidth) / w, double(drawableHeight) / h);
    int shownWidth = int(w * scale + 0.5), shownHeight = int(h * scale + 0.5);
    glViewport((drawableWidth - shownWidth) / 2, (drawableHeight - shownHeight) / 2, shownWidth,
               shownHeight);
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
// processor allows, and the game moves a fixed distance a frame: the finished frame waits
// for where the next refresh would be.
void GLDevice::WaitForRefresh()
{
    if (framePeriod == 0)
        return;
    uint64_t now = Now();
    Refresh refresh = ScheduleFrame(nextPresent, now, framePeriod);
    if (refresh.show > now)
        SleepUntil(refresh.show);
    nextPresent = refresh.next;
}

HRESULT GLDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND, const RGNDATA*)
{
    if (!d3d::ValidPresent(inScene, parameters.Windowed != FALSE, sourceRect, destRect))
        return D3DERR_INVALIDCALL;
    if (cooperativeLevel != D3D_OK)
        return D3DERR_DEVICELOST;
    MakeCurrent();
    if (screenshotDue)
    {
        screenshotDue = false;
        internal::SaveScreenshot(); // the frame is still in the back buffer
    }
    if (!direct)
    {
        int drawableWidth = 0, drawableHeight = 0;
        SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
        ShowScaled(drawableWidth, drawableHeight);
    }
    const bool immediate = parameters.PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE;
    if (pacing && !immediate && !displayPaces)
    {
        // Drawn to the end first, so that the wait is what sets the frame's time.
        glFinish();
        WaitForRefresh();
    }
    uint64_t before = Now();
    SDL_GL_SwapWindow(window);
    // A swap under vertical sync that came back at once did not wait for the display.
    displayPaces = vsync && Now() - before >= framePeriod / 4;
    if (displayPaces)
        nextPresent = 0;
    swapped = true;
    // The window may have changed size since (a window manager, a desktop's new mode): the
    // next frame goes where it fits.
    if (FAILED(ChooseTarget()))
        cooperativeLevel =
            D3DERR_DEVICENOTRESET; // a reset makes the back buffer again, or says why not
    return D3D_OK;
}

bool GLDevice::FrameReadable() const
{
    return !direct || !swapped;
}

void GLDevice::TakeScreenshotAtPresent()
{
    screenshotDue = true;
}

void GLDevice::ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba)
{
    MakeCurrent();
    int w = int(parameters.BackBufferWidth), h = int(parameters.BackBufferHeight);
    std::vector<uint8_t> rows(size_t(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
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
