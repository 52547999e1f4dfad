// Direct3D 9's fixed-function device over OpenGL 2.1: a back buffer the size of the
// window's drawable is the window's own framebuffer; any other size is an offscreen
// framebuffer, shown scaled on the window with its aspect kept.
#pragma once

#include "port/D3D9.h"
#include "port/d3d/DeviceMethods.h"
#include "port/d3d/DeviceRules.h"
#include "port/RefCounted.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <map>
#include <vector>

namespace port
{
namespace gl
{
class GLDevice;

// The entry points past OpenGL 1.1 the device uses, found once a context exists: core
// names where the driver has them, else the extension ones.
struct Functions
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
    PFNGLGENBUFFERSPROC genBuffers = nullptr;
    PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;
    PFNGLBINDBUFFERPROC bindBuffer = nullptr;
    PFNGLBUFFERDATAPROC bufferData = nullptr;
    PFNGLMAPBUFFERPROC mapBuffer = nullptr;
    PFNGLUNMAPBUFFERPROC unmapBuffer = nullptr;

    // False when a required one is missing.
    bool Load();
};
extern Functions fn;

class GLTexture : public RefCounted<IDirect3DTexture9>, public d3d::TextureLevel
{
  public:
    GLTexture(GLDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format,
              D3DPOOL pool);
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    GLDevice* device;
    // System-memory textures keep their texels; default-pool ones live in this OpenGL
    // texture.
    GLuint name = 0;

  private:
    ~GLTexture() override;
    ULONG LastReference() override;
};

class GLVertexBuffer : public RefCounted<IDirect3DVertexBuffer9>, public d3d::VertexRange
{
  public:
    GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf);
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    GLDevice* device;
    // The bytes live only in the OpenGL buffer: a lock maps it, so the caller writes where
    // the driver reads them.
    GLuint name = 0;

  private:
    ~GLVertexBuffer() override;
    ULONG LastReference() override;

    uint8_t* mapped = nullptr; // while locked
};

class GLDevice : public RefCounted<IDirect3DDevice9>
{
  public:
    // Takes the window full screen (desktop size) and makes the context and the back
    // buffer; Create reports the Direct3D result of that.
    static HRESULT Create(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters,
                          GLDevice** device);

    PORT_IDIRECT3DDEVICE9_METHODS

    // The back buffer as RGBA, top row first.
    void ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba);
    // Whether the back buffer still holds the frame last drawn: drawn offscreen, or not yet
    // presented. A frame drawn into the window's framebuffer is gone from it once swapped.
    bool FrameReadable() const;
    // A screenshot of the next frame, taken just before it is swapped.
    void TakeScreenshotAtPresent();
    void MakeCurrent();
    // A texture or buffer going away is unbound, so the device never reaches it again.
    void Forget(const GLTexture* texture);
    void Forget(const GLVertexBuffer* buffer);
    // The buffer vertex arrays come from; 0 for client memory.
    void BindArrayBuffer(GLuint buffer);

    std::vector<GLTexture*> textures;
    std::vector<GLVertexBuffer*> buffers;
    // Texels changed on their way to a texture (UpdateTexture), and the storage of the last
    // system-memory texture released: reused picture after picture.
    std::vector<uint32_t> uploadScratch, spareTexels;
    // What TestCooperativeLevel answers; a test can act out a lost device with it.
    HRESULT cooperativeLevel = D3D_OK;

  private:
    GLDevice(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters);
    ~GLDevice() override;
    bool Initialise(HRESULT* failure);
    bool EnterFullScreen();
    void LeaveFullScreen();
    // The back buffer at the size of the presentation parameters: checked against what
    // the driver can make; the frames go where ChooseTarget says.
    HRESULT MakeBackBuffer();
    // The window's own framebuffer when the window's drawable has the back buffer's size;
    // otherwise the offscreen one, made when first needed. Chosen when the device is made
    // or reset, and after each present for the next frame.
    HRESULT ChooseTarget();
    HRESULT MakeOffscreen();
    void DeleteOffscreen();
    bool HasDepth() const { return parameters.EnableAutoDepthStencil != FALSE; }
    void ApplyDefaults();
    void ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void ApplyTransforms();
    void ApplyLight();
    void ApplyTextureAndSampler();
    // Vertices at this address, or at this offset into the bound array buffer.
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, uintptr_t vertices, UINT stride);
    // Presentation: an offscreen frame drawn scaled onto the window, a wait for the
    // refresh, the swap.
    void ShowScaled(int drawableWidth, int drawableHeight);
    void WaitForRefresh();
    GLTexture* OwnTexture(IDirect3DBaseTexture9* texture) const;
    GLVertexBuffer* OwnBuffer(IDirect3DVertexBuffer9* buffer) const;

    SDL_Window* window;
    SDL_GLContext context = nullptr;
    D3DPRESENT_PARAMETERS parameters;
    GLuint framebuffer = 0, colour = 0, depth = 0;
    GLuint arrayBuffer = 0; // bound to GL_ARRAY_BUFFER
    bool inScene = false;

    std::map<D3DRENDERSTATETYPE, DWORD> renderStates;
    D3DMATRIX view, projection, world;
    D3DLIGHT9 light0{};
    bool light0Set = false, light0Enabled = false;
    bool transformsDirty = true, lightDirty = true;
    D3DMATERIAL9 material{};
    GLTexture* boundTexture = nullptr;
    std::map<D3DSAMPLERSTATETYPE, DWORD> sampler;
    DWORD fvf = 0;
    GLVertexBuffer* stream = nullptr;
    UINT streamOffset = 0, streamStride = 0;

    bool direct = false;         // this frame is drawn into the window's own framebuffer
    bool windowHasDepth = false; // that framebuffer has a depth buffer
    bool swapped = false;        // the frame there has been presented since it was drawn
    bool screenshotDue = false;
    bool vsync = false;
    bool displayPaces = false;               // the last swap waited for the display's refresh
    uint64_t framePeriod = 1000000000u / 60; // in nanoseconds
    uint64_t nextPresent = 0;                // when the next frame is due, monotonic ns
    bool wasFullscreen = false;
    bool coveredByHand = false; // full screen without a window manager to ask
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
};

// The device that draws on the display now, or null.
GLDevice* CurrentDevice();
} // namespace gl
} // namespace port
