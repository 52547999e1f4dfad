// Direct3D 9's fixed-function device over OpenGL 2.1: the back buffer is an offscreen
// framebuffer of the size the game asked for, shown scaled on the full-screen window.
#pragma once

#include "port/D3D9.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <map>
#include <vector>

namespace port
{
namespace gl
{
class GLDevice;

class GLTexture : public IDirect3DTexture9
{
public:
    GLTexture(GLDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format,
              D3DPOOL pool);
    ULONG AddRef() override { return ++references; }
    ULONG Release() override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect,
                     DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    GLDevice* device;
    UINT width, height;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    bool locked = false;
    std::vector<uint32_t> texels; // system-memory textures only
    GLuint name = 0;              // default-pool textures only

private:
    ~GLTexture() override;
    ULONG references = 1;
};

class GLVertexBuffer : public IDirect3DVertexBuffer9
{
public:
    GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf);
    ULONG AddRef() override { return ++references; }
    ULONG Release() override;
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    GLDevice* device;
    DWORD fvf;
    int lockCount = 0;
    std::vector<uint8_t> bytes; // drawn straight from memory as client arrays

private:
    ~GLVertexBuffer() override = default;
    ULONG references = 1;
};

class GLDevice : public IDirect3DDevice9
{
public:
    // Takes the window full screen (desktop size) and makes the context and the back
    // buffer; Create reports the Direct3D result of that.
    static HRESULT Create(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters,
                          GLDevice** device);

    ULONG AddRef() override { return ++references; }
    ULONG Release() override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                          D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** vertexBuffer,
                               HANDLE* sharedHandle) override;
    HRESULT UpdateTexture(IDirect3DBaseTexture9* source,
                          IDirect3DBaseTexture9* destination) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                  DWORD stencil) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer9* streamData,
                            UINT offsetInBytes, UINT stride) override;

    // The back buffer as RGBA, top row first.
    void ReadBackBuffer(int* width, int* height, std::vector<uint8_t>* rgba);
    void MakeCurrent();

    std::vector<GLTexture*> textures;
    std::vector<GLVertexBuffer*> buffers;

private:
    GLDevice(SDL_Window* window, const D3DPRESENT_PARAMETERS& parameters);
    ~GLDevice() override;
    bool Initialise(HRESULT* failure);
    void ApplyDefaults();
    void ApplyRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void ApplyTransforms();
    void ApplyLight();
    void ApplyTextureAndSampler();
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const uint8_t* vertices,
                 UINT stride);
    void ShowBackBuffer();
    void Pace();
    GLTexture* OwnTexture(IDirect3DBaseTexture9* texture) const;
    GLVertexBuffer* OwnBuffer(IDirect3DVertexBuffer9* buffer) const;

    ULONG references = 1;
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
