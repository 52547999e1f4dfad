// Direct3D 9's fixed-function device over OpenGL 2.1: the back buffer is an offscreen
// framebuffer of the size the game asked for, shown scaled on the full-screen window.
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

class GLVertexBuffer : public RefCounted<IDirect3DVertexBuffer9>, public d3d::VertexBytes
{
  public:
    GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf);
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    GLDevice* device; // the bytes are drawn straight from memory as client arrays

  private:
    ~GLVertexBuffer() override = default;
    ULONG LastReference() override;
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
    void MakeCurrent();
    // A texture or buffer going away is unbound, so the device never reaches it again.
    void Forget(const GLTexture* texture);
    void Forget(const GLVertexBuffer* buffer);

    std::vector<GLTexture*> textures;
    std::vector<GLVertexBuffer*> buffers;
    // What TestCooperativeLevel answers; a test can act out a lost device with it.
    HRESULT cooperativeLevel = D3D_OK;

  private:
    GLDevice(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters);
    ~GLDevice() override;
    bool Initialise(HRESULT* failure);
    bool EnterFullScreen();
    // The offscreen back buffer at the size of the presentation parameters.
    HRESULT MakeBackBuffer();
    void ApplyDefaults();
    void ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void ApplyTransforms();
    void ApplyLight();
    void ApplyTextureAndSampler();
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const uint8_t* vertices, UINT stride);
    // Presentation: the back buffer scaled onto the window, and frames paced to the
    // display's refresh.
    void ShowBackBuffer();
    void Pace();
    GLTexture* OwnTexture(IDirect3DBaseTexture9* texture) const;
    GLVertexBuffer* OwnBuffer(IDirect3DVertexBuffer9* buffer) const;

    SDL_Window* window;
    SDL_GLContext context = nullptr;
    D3DPRESENT_PARAMETERS parameters;
    GLuint framebuffer = 0, colour = 0, depth = 0;
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

    bool vsync = false;
    double framePeriod = 1.0 / 60.0;
    uint64_t nextPresent = 0;
    bool wasFullscreen = false;
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
};

// The device that draws on the display now, or null.
GLDevice* CurrentDevice();
} // namespace gl
} // namespace port
