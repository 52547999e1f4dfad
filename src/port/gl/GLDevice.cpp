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
               Load(&framebufferTexture2D, "glFramebufferTexture2D",
                    "glFramebufferTexture2DEXT") &&
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

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

bool VerticesFor(D3DPRIMITIVETYPE type, UINT primitives, UINT* vertices, GLenum* mode)
{
    switch (type)
    {
    case D3DPT_POINTLIST: *vertices = primitives; *mode = GL_POINTS; return true;
    case D3DPT_LINELIST: *vertices = primitives * 2; *mode = GL_LINES; return true;
    case D3DPT_LINESTRIP: *vertices = primitives + 1; *mode = GL_LINE_STRIP; return true;
    case D3DPT_TRIANGLELIST: *vertices = primitives * 3; *mode = GL_TRIANGLES; return true;
    case D3DPT_TRIANGLESTRIP: *vertices = primitives + 2; *mode = GL_TRIANGLE_STRIP; return true;
    case D3DPT_TRIANGLEFAN: *vertices = primitives + 2; *mode = GL_TRIANGLE_FAN; return true;
    }
    return false;
}

GLenum CompareFunction(DWORD f)
{
    switch (f)
    {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLenum BlendFactor(DWORD b)
{
    switch (b)
    {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

GLint AddressMode(DWORD a)
{
    switch (a)
    {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

void Colour4(const D3DCOLORVALUE& c, GLfloat out[4])
{
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}

uint64_t Now() { return SDL_GetPerformanceCounter(); }
} // namespace

GLDevice* CurrentDevice() { return current; }
void SetPacing(bool on) { pacing = on; }

// ---------------------------------------------------------------------------------------
// Textures and vertex buffers

GLTexture::GLTexture(GLDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : device(device), width(width), height(height), usage(usage), format(format), pool(pool)
{
    if (pool == D3DPOOL_DEFAULT)
    {
        device->MakeCurrent();
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    else
        texels.assign(size_t(width) * height, 0u);
    device->AddRef();
    device->textures.push_back(this);
}

GLTexture::~GLTexture()
{
    if (name != 0)
    {
        device->MakeCurrent();
        glDeleteTextures(1, &name);
    }
}

ULONG GLTexture::Release()
{
    if (--references > 0)
        return references;
    GLDevice* owner = device;
    auto& list = owner->textures;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    delete this;
    owner->Release(); // resources hold their device, as Direct3D's do
    return 0;
}

HRESULT GLTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD)
{
    if (level != 0 || lockedRect == nullptr || locked || pool == D3DPOOL_DEFAULT)
        return D3DERR_INVALIDCALL;
    size_t first = 0;
    if (rect != nullptr)
    {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right ||
            rect->top >= rect->bottom || UINT(rect->right) > width || UINT(rect->bottom) > height)
            return D3DERR_INVALIDCALL;
        first = size_t(rect->top) * width + size_t(rect->left);
    }
    locked = true;
    lockedRect->Pitch = INT(width * 4);
    lockedRect->pBits = texels.data() + first;
    return D3D_OK;
}

HRESULT GLTexture::UnlockRect(UINT level)
{
    if (level != 0 || !locked)
        return D3DERR_INVALIDCALL;
    locked = false;
    return D3D_OK;
}

GLVertexBuffer::GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf)
    : device(device), fvf(fvf), bytes(length, 0)
{
    device->AddRef();
    device->buffers.push_back(this);
}

ULONG GLVertexBuffer::Release()
{
    if (--references > 0)
        return references;
    GLDevice* owner = device;
    auto& list = owner->buffers;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    delete this;
    owner->Release();
    return 0;
}

HRESULT GLVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD)
{
    UINT length = UINT(bytes.size());
    UINT size = sizeToLock == 0 ? (offsetToLock <= length ? length - offsetToLock : 0) : sizeToLock;
    if (data == nullptr || offsetToLock >= length || size > length - offsetToLock)
        return D3DERR_INVALIDCALL;
    *data = bytes.data() + offsetToLock;
    lockCount++;
    return D3D_OK;
}

HRESULT GLVertexBuffer::Unlock()
{
    if (lockCount == 0)
        return D3DERR_INVALIDCALL;
    lockCount--;
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------
// The device

GLDevice::GLDevice(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters)
    : window(window), parameters(parameters), view(Identity()), projection(Identity()),
      world(Identity())
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
    if (!parameters.Windowed)
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
        {
            *failure = D3DERR_NOTAVAILABLE;
            return false;
        }
        SDL_RaiseWindow(window);
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

    // A back buffer the driver cannot make is refused as Direct3D refuses a mode.
    GLint maxRenderbuffer = 0, maxTexture = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    GLint limit = std::min(maxRenderbuffer, maxTexture);
    if (parameters.BackBufferWidth == 0 || parameters.BackBufferHeight == 0)
    {
        *failure = D3DERR_INVALIDCALL;
        return false;
    }
    if (parameters.BackBufferWidth > UINT(limit) || parameters.BackBufferHeight > UINT(limit))
    {
        *failure = D3DERR_NOTAVAILABLE;
        return false;
    }
    GLsizei w = GLsizei(parameters.BackBufferWidth), h = GLsizei(parameters.BackBufferHeight);
    glGenTextures(1, &colour);
    glBindTexture(GL_TEXTURE_2D, colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    fbo.genFramebuffers(1, &framebuffer);
    fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    fbo.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    if (parameters.EnableAutoDepthStencil)
    {
        fbo.genRenderbuffers(1, &depth);
        fbo.bindRenderbuffer(GL_RENDERBUFFER, depth);
        GLenum depthFormat =
            parameters.AutoDepthStencilFormat == D3DFMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH_COMPONENT24;
        fbo.renderbufferStorage(GL_RENDERBUFFER, depthFormat, w, h);
        fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    if (glGetError() != GL_NO_ERROR ||
        fbo.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    {
        *failure = D3DERR_OUTOFVIDEOMEMORY;
        return false;
    }
    glViewport(0, 0, w, h);
    ApplyDefaults();
    return true;
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

ULONG GLDevice::Release()
{
    if (references == 0)
        return 0;
    if (--references > 0)
        return references;
    delete this;
    return 0;
}

void GLDevice::MakeCurrent()
{
    if (SDL_GL_GetCurrentContext() != context)
        SDL_GL_MakeCurrent(window, context);
}

// Direct3D's initial state, in OpenGL's terms.
void GLDevice::ApplyDefaults()
{
    renderStates = {
        {D3DRS_ZENABLE, parameters.EnableAutoDepthStencil ? DWORD(D3DZB_TRUE) : DWORD(D3DZB_FALSE)},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_ALPHATESTENABLE, FALSE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_NORMALIZENORMALS, FALSE},
    };
    for (const auto& state : renderStates)
        ApplyRenderState(state.first, state.second);
    sampler = {{D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP},
               {D3DSAMP_ADDRESSV, D3DTADDRESS_WRAP},
               {D3DSAMP_MAGFILTER, D3DTEXF_POINT},
               {D3DSAMP_MINFILTER, D3DTEXF_POINT}};
    // Both APIs see the same picture, so a triangle that turns counter-clockwise on the
    // screen is OpenGL's counter-clockwise too; Direct3D calls its front clockwise.
    glFrontFace(GL_CW);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_DITHER);
    // Stage 0 modulates the colour but takes the alpha from the texture alone.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_MODULATE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB, GL_PRIMARY_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA, GL_TEXTURE);
    GLfloat black[4] = {0, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
    glDisable(GL_COLOR_MATERIAL);
    GLfloat zero[4] = {0, 0, 0, 0};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, zero);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, zero);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, zero);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, zero);
    glDisable(GL_LIGHT0);
}

void GLDevice::ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    auto get = [this](D3DRENDERSTATETYPE s) { return renderStates[s]; };
    switch (state)
    {
    case D3DRS_ZENABLE:
        if (value != D3DZB_FALSE && depth != 0)
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST); // no test also means no depth written, in both APIs
        break;
    case D3DRS_ZWRITEENABLE: glDepthMask(value ? GL_TRUE : GL_FALSE); break;
    case D3DRS_ZFUNC: glDepthFunc(CompareFunction(value)); break;
    case D3DRS_ALPHATESTENABLE:
        if (value)
            glEnable(GL_ALPHA_TEST);
        else
            glDisable(GL_ALPHA_TEST);
        break;
    case D3DRS_ALPHAREF:
    case D3DRS_ALPHAFUNC:
        // The reference is a byte: 0..255 of the texel's alpha.
        glAlphaFunc(CompareFunction(get(D3DRS_ALPHAFUNC)), GLclampf((get(D3DRS_ALPHAREF) & 0xFF) / 255.0));
        break;
    case D3DRS_ALPHABLENDENABLE:
        if (value)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        break;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        glBlendFunc(BlendFactor(get(D3DRS_SRCBLEND)), BlendFactor(get(D3DRS_DESTBLEND)));
        break;
    case D3DRS_CULLMODE:
        if (value == D3DCULL_NONE)
            glDisable(GL_CULL_FACE);
        else
        {
            glEnable(GL_CULL_FACE);
            glCullFace(value == D3DCULL_CCW ? GL_BACK : GL_FRONT);
        }
        break;
    case D3DRS_LIGHTING:
        if (value)
            glEnable(GL_LIGHTING);
        else
            glDisable(GL_LIGHTING);
        break;
    case D3DRS_AMBIENT:
    {
        GLfloat ambient[4] = {((value >> 16) & 0xFF) / 255.0f, ((value >> 8) & 0xFF) / 255.0f,
                              (value & 0xFF) / 255.0f, ((value >> 24) & 0xFF) / 255.0f};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        break;
    }
    case D3DRS_NORMALIZENORMALS:
        if (value)
            glEnable(GL_NORMALIZE);
        else
            glDisable(GL_NORMALIZE);
        break;
    case D3DRS_SPECULARENABLE: lightDirty = true; break;
    default: break; // states the game never changes keep their defaults
    }
}

void GLDevice::ApplyTransforms()
{
    if (!transformsDirty)
        return;
    transformsDirty = false;
    // Direct3D's row-vector matrices, read column-major, are OpenGL's column-vector ones.
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&view._11);
    glMultMatrixf(&world._11);
    // Direct3D clips depth to 0..w, OpenGL to -w..w: z' = 2z - w after the projection.
    // Direct3D 9 puts pixel centres on whole coordinates, OpenGL half a pixel further on:
    // moving everything right and down by a shade under half a pixel covers the same
    // pixels, and an edge through a centre then falls on the side Direct3D's top-left
    // rule gives it instead of on the centre itself.
    const GLfloat shift = 0.5f - 1.0f / 32.0f;
    GLfloat dx = 2.0f * shift / GLfloat(parameters.BackBufferWidth);
    GLfloat dy = -2.0f * shift / GLfloat(parameters.BackBufferHeight);
    const GLfloat toOpenGL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, 0, dx, dy, -1, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(toOpenGL);
    glMultMatrixf(&projection._11);
    glMatrixMode(GL_MODELVIEW);
    lightDirty = true; // the light's direction is given in world space
}

void GLDevice::ApplyLight()
{
    if (!lightDirty)
        return;
    lightDirty = false;
    if (!light0Enabled)
    {
        glDisable(GL_LIGHT0);
        return;
    }
    glEnable(GL_LIGHT0);
    GLfloat c[4];
    Colour4(light0.Diffuse, c);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, c);
    Colour4(light0.Ambient, c);
    glLightfv(GL_LIGHT0, GL_AMBIENT, c);
    Colour4(light0.Specular, c);
    if (!renderStates[D3DRS_SPECULARENABLE])
        c[0] = c[1] = c[2] = 0.0f;
    glLightfv(GL_LIGHT0, GL_SPECULAR, c);
    // A directional light travels along Direction; OpenGL wants the way back to the light,
    // in world space, so it goes in under the view matrix alone.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(&view._11);
    if (light0.Type == D3DLIGHT_DIRECTIONAL)
    {
        GLfloat towards[4] = {-light0.Direction.x, -light0.Direction.y, -light0.Direction.z, 0};
        glLightfv(GL_LIGHT0, GL_POSITION, towards);
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    }
    else
    {
        GLfloat at[4] = {light0.Position.x, light0.Position.y, light0.Position.z, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, at);
        glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, light0.Attenuation0);
        glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, light0.Attenuation1);
        glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, light0.Attenuation2);
        glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    }
    glPopMatrix();
}

void GLDevice::ApplyTextureAndSampler()
{
    if (boundTexture == nullptr)
    {
        glDisable(GL_TEXTURE_2D);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, boundTexture->name);
    // Direct3D keeps sampling state per stage, OpenGL per texture: set it on each draw.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    sampler[D3DSAMP_MAGFILTER] == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                    sampler[D3DSAMP_MINFILTER] == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, AddressMode(sampler[D3DSAMP_ADDRESSU]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, AddressMode(sampler[D3DSAMP_ADDRESSV]));
}

GLTexture* GLDevice::OwnTexture(IDirect3DBaseTexture9* texture) const
{
    for (GLTexture* t : textures)
        if (static_cast<IDirect3DBaseTexture9*>(t) == texture)
            return t;
    return nullptr;
}

GLVertexBuffer* GLDevice::OwnBuffer(IDirect3DVertexBuffer9* buffer) const
{
    for (GLVertexBuffer* b : buffers)
        if (static_cast<IDirect3DVertexBuffer9*>(b) == buffer)
            return b;
    return nullptr;
}

HRESULT GLDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage,
                                D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture,
                                HANDLE* sharedHandle)
{
    if (texture == nullptr || sharedHandle != nullptr)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    GLint maxTexture = 0;
    MakeCurrent();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    if (width == 0 || height == 0 || width > UINT(maxTexture) || height > UINT(maxTexture) ||
        levels != 1 || (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) ||
        (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_SYSTEMMEM))
        return D3DERR_INVALIDCALL;
    *texture = new GLTexture(this, width, height, usage, format, pool);
    if (pool == D3DPOOL_DEFAULT && glGetError() != GL_NO_ERROR)
    {
        (*texture)->Release();
        *texture = nullptr;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

HRESULT GLDevice::CreateVertexBuffer(UINT length, DWORD, DWORD newFvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** vertexBuffer, HANDLE* sharedHandle)
{
    if (vertexBuffer == nullptr || sharedHandle != nullptr)
        return D3DERR_INVALIDCALL;
    *vertexBuffer = nullptr;
    if (length == 0 || (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED &&
                        pool != D3DPOOL_SYSTEMMEM))
        return D3DERR_INVALIDCALL;
    if (length > 256u * 1024u * 1024u)
        return D3DERR_OUTOFVIDEOMEMORY;
    *vertexBuffer = new GLVertexBuffer(this, length, newFvf);
    return D3D_OK;
}

HRESULT GLDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination)
{
    GLTexture* from = OwnTexture(source);
    GLTexture* to = OwnTexture(destination);
    if (from == nullptr || to == nullptr || from->pool != D3DPOOL_SYSTEMMEM ||
        to->pool != D3DPOOL_DEFAULT || from->width != to->width || from->height != to->height ||
        from->format != to->format || from->locked)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    std::vector<uint32_t> upload = from->texels;
    if (to->format == D3DFMT_X8R8G8B8)
        for (uint32_t& t : upload)
            t |= 0xFF000000u; // no alpha channel: opaque
    glBindTexture(GL_TEXTURE_2D, to->name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0xAARRGGBB words are the bytes B, G, R, A in memory.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(to->width), GLsizei(to->height), GL_BGRA,
                    GL_UNSIGNED_BYTE, upload.data());
    if (boundTexture)
        glBindTexture(GL_TEXTURE_2D, boundTexture->name);
    return glGetError() == GL_NO_ERROR ? D3D_OK : D3DERR_INVALIDCALL;
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

HRESULT GLDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colourValue,
                        float z, DWORD stencil)
{
    if ((count > 0 && rects == nullptr) || flags == 0 || (flags & ~7u) ||
        ((flags & D3DCLEAR_ZBUFFER) && depth == 0) || (flags & D3DCLEAR_STENCIL) || z < 0.0f ||
        z > 1.0f)
        return D3DERR_INVALIDCALL;
    (void)stencil;
    MakeCurrent();
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET)
    {
        // The back buffer has no alpha: the colour's alpha byte has no effect.
        glClearColor(((colourValue >> 16) & 0xFF) / 255.0f, ((colourValue >> 8) & 0xFF) / 255.0f,
                     (colourValue & 0xFF) / 255.0f, 1.0f);
        mask |= GL_COLOR_BUFFER_BIT;
    }
    if (flags & D3DCLEAR_ZBUFFER)
    {
        glClearDepth(z);
        mask |= GL_DEPTH_BUFFER_BIT;
    }
    // Clear writes depth whatever the depth-write state is.
    glDepthMask(GL_TRUE);
    if (count == 0)
        glClear(mask);
    else
    {
        glEnable(GL_SCISSOR_TEST);
        GLint height = GLint(parameters.BackBufferHeight);
        for (DWORD i = 0; i < count; i++)
        {
            const D3DRECT& r = rects[i];
            glScissor(r.x1, height - r.y2, r.x2 - r.x1, r.y2 - r.y1);
            glClear(mask);
        }
        glDisable(GL_SCISSOR_TEST);
    }
    glDepthMask(renderStates[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
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
    if (inScene || (!parameters.Windowed && (sourceRect || destRect)))
        return D3DERR_INVALIDCALL;
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

HRESULT GLDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (matrix == nullptr)
        return D3DERR_INVALIDCALL;
    switch (state)
    {
    case D3DTS_VIEW: view = *matrix; break;
    case D3DTS_PROJECTION: projection = *matrix; break;
    case D3DTS_WORLD: world = *matrix; break;
    default: return D3D_OK; // texture transforms are not used
    }
    transformsDirty = true;
    return D3D_OK;
}

HRESULT GLDevice::SetMaterial(const D3DMATERIAL9* newMaterial)
{
    if (newMaterial == nullptr)
        return D3DERR_INVALIDCALL;
    material = *newMaterial;
    MakeCurrent();
    GLfloat c[4];
    Colour4(material.Diffuse, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, c);
    Colour4(material.Ambient, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, c);
    Colour4(material.Specular, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, c);
    Colour4(material.Emissive, c);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, c);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::min(std::max(material.Power, 0.0f), 128.0f));
    return D3D_OK;
}

HRESULT GLDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (light == nullptr || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    if (index != 0)
        return D3D_OK; // one light is all the game uses
    light0 = *light;
    light0Set = true;
    lightDirty = true;
    return D3D_OK;
}

HRESULT GLDevice::LightEnable(DWORD index, BOOL enable)
{
    if (index != 0)
        return D3D_OK;
    if (!light0Set)
    {
        // Direct3D's default light: white, directional, along +z.
        light0 = D3DLIGHT9{};
        light0.Type = D3DLIGHT_DIRECTIONAL;
        light0.Diffuse = {1, 1, 1, 0};
        light0.Direction = {0, 0, 1};
        light0Set = true;
    }
    light0Enabled = enable != FALSE;
    lightDirty = true;
    return D3D_OK;
}

HRESULT GLDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    MakeCurrent();
    renderStates[state] = value;
    ApplyRenderState(state, value);
    return D3D_OK;
}

HRESULT GLDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= 8)
        return D3DERR_INVALIDCALL;
    GLTexture* own = nullptr;
    if (texture != nullptr)
    {
        own = OwnTexture(texture);
        if (own == nullptr || own->pool != D3DPOOL_DEFAULT)
            return D3DERR_INVALIDCALL;
    }
    if (stage == 0)
        boundTexture = own;
    return D3D_OK;
}

HRESULT GLDevice::SetSamplerState(DWORD samplerIndex, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (samplerIndex >= 16)
        return D3DERR_INVALIDCALL;
    if (samplerIndex == 0)
        sampler[type] = value;
    return D3D_OK;
}

HRESULT GLDevice::SetFVF(DWORD newFvf)
{
    fvf = newFvf;
    return D3D_OK;
}

HRESULT GLDevice::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                                  UINT offsetInBytes, UINT stride)
{
    GLVertexBuffer* own = streamData ? OwnBuffer(streamData) : nullptr;
    if (streamNumber >= 16 || (streamData != nullptr && own == nullptr))
        return D3DERR_INVALIDCALL;
    if (streamNumber == 0)
    {
        stream = own;
        streamOffset = offsetInBytes;
        streamStride = stride;
    }
    return D3D_OK;
}

HRESULT GLDevice::Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const uint8_t* vertices,
                       UINT stride)
{
    UINT count;
    GLenum mode;
    VerticesFor(type, primitiveCount, &count, &mode);
    if (count == 0)
        return D3D_OK;
    MakeCurrent();
    ApplyTransforms();
    ApplyLight();
    ApplyTextureAndSampler();
    // Vertex layout of the flexible format: position, normal, diffuse, texture coordinates.
    size_t offset = 0;
    if ((fvf & 0x00E) == D3DFVF_XYZ)
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, GLsizei(stride), vertices);
        offset = 12;
    }
    else
        return D3DERR_INVALIDCALL; // only untransformed positions are supported
    if (fvf & D3DFVF_NORMAL)
    {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, GLsizei(stride), vertices + offset);
        offset += 12;
    }
    else
    {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 0); // Direct3D lights a vertex without a normal as facing nowhere
    }
    // No diffuse colour in the vertices: white, which is also what lighting-off shows.
    glDisableClientState(GL_COLOR_ARRAY);
    if (fvf & D3DFVF_DIFFUSE)
        offset += 4;
    glColor4f(1, 1, 1, 1);
    if (fvf & 0x080)
        offset += 4; // specular colour, unused
    if (((fvf >> 8) & 0xF) >= 1)
    {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, GLsizei(stride), vertices + offset);
    }
    else
    {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0, 0);
    }
    glDrawArrays(mode, 0, GLsizei(count));
    return D3D_OK;
}

HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    UINT count;
    GLenum mode;
    if (!VerticesFor(type, primitiveCount, &count, &mode) || !inScene || fvf == 0 ||
        stream == nullptr || streamStride == 0 || stream->lockCount > 0)
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    uint64_t end = uint64_t(streamOffset) + (uint64_t(startVertex) + count) * streamStride;
    if (end > stream->bytes.size())
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount,
                stream->bytes.data() + streamOffset + size_t(startVertex) * streamStride,
                streamStride);
}

HRESULT GLDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                  const void* vertexData, UINT vertexStride)
{
    UINT count;
    GLenum mode;
    if (!VerticesFor(type, primitiveCount, &count, &mode) || !inScene || fvf == 0 ||
        vertexData == nullptr || vertexStride == 0 || primitiveCount == 0)
        return D3DERR_INVALIDCALL;
    HRESULT result =
        Draw(type, primitiveCount, static_cast<const uint8_t*>(vertexData), vertexStride);
    // Direct3D leaves stream 0 unset after drawing from user memory.
    stream = nullptr;
    streamOffset = streamStride = 0;
    return result;
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
