// The OpenGL device's textures and vertex buffers: default-pool textures live in OpenGL,
// system-memory ones and vertex buffers in memory.
#include "port/gl/GLDevice.h"

namespace port
{
namespace gl
{
GLTexture::GLTexture(GLDevice* device, UINT width, UINT height, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : TextureLevel(width, height, usage, format, pool), device(device)
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

ULONG GLTexture::LastReference()
{
    GLDevice* owner = device;
    d3d::DropLive(owner->textures, this);
    owner->Forget(this);
    delete this;
    owner->Release(); // resources hold their device, as Direct3D's do
    return 0;
}

HRESULT GLTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD)
{
    // Default-pool texels are in OpenGL, out of the processor's reach.
    return LockTexels(level, lockedRect, rect, pool != D3DPOOL_DEFAULT);
}

HRESULT GLTexture::UnlockRect(UINT level)
{
    return UnlockTexels(level);
}

GLVertexBuffer::GLVertexBuffer(GLDevice* device, UINT length, DWORD fvf)
    : VertexBytes(length, fvf), device(device)
{
    device->AddRef();
    device->buffers.push_back(this);
}

ULONG GLVertexBuffer::LastReference()
{
    GLDevice* owner = device;
    d3d::DropLive(owner->buffers, this);
    owner->Forget(this);
    delete this;
    owner->Release();
    return 0;
}

HRESULT GLVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** data, DWORD)
{
    return LockBytes(offsetToLock, sizeToLock, data);
}

HRESULT GLVertexBuffer::Unlock()
{
    return UnlockBytes();
}

void GLDevice::Forget(const GLTexture* texture)
{
    if (boundTexture == texture)
        boundTexture = nullptr;
}

void GLDevice::Forget(const GLVertexBuffer* buffer)
{
    if (stream == buffer)
    {
        stream = nullptr;
        streamOffset = streamStride = 0;
    }
}

GLTexture* GLDevice::OwnTexture(IDirect3DBaseTexture9* texture) const
{
    return d3d::FindLive(textures, texture);
}

GLVertexBuffer* GLDevice::OwnBuffer(IDirect3DVertexBuffer9* buffer) const
{
    return d3d::FindLive(buffers, buffer);
}

HRESULT GLDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (texture == nullptr || sharedHandle != nullptr)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    GLint maxTexture = 0;
    MakeCurrent();
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    if (!d3d::ValidTextureShape(width, height, levels, format, UINT(maxTexture)) ||
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
    if (!d3d::ValidVertexBufferShape(length, pool))
        return D3DERR_INVALIDCALL;
    if (length > d3d::MAX_VERTEX_BUFFER_LENGTH)
        return D3DERR_OUTOFVIDEOMEMORY;
    *vertexBuffer = new GLVertexBuffer(this, length, newFvf);
    return D3D_OK;
}

HRESULT GLDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination)
{
    GLTexture* from = OwnTexture(source);
    GLTexture* to = OwnTexture(destination);
    if (!d3d::CanUpdate(from, to))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    std::vector<uint32_t> upload = from->texels;
    if (to->format == D3DFMT_X8R8G8B8)
        for (uint32_t& t : upload)
            t |= 0xFF000000u; // no alpha channel: opaque
    else
    {
        // A see-through texel keeps its colour (the keyed pictures' white), and the linear
        // filter would blend it into the edge of every cut-out as a pale fringe. Each one
        // touching a visible texel takes their colour, weighted by alpha, wrapping as the
        // sampler does; its alpha stays 0, so nothing else a blended draw shows changes.
        const size_t w = to->width, h = to->height;
        for (size_t y = 0; y < h; y++)
            for (size_t x = 0; x < w; x++)
            {
                if (from->texels[y * w + x] >> 24 != 0)
                    continue;
                uint32_t sum[3] = {}, weight = 0;
                for (size_t ny = y + h - 1; ny <= y + h + 1; ny++)
                    for (size_t nx = x + w - 1; nx <= x + w + 1; nx++)
                    {
                        const uint32_t n = from->texels[ny % h * w + nx % w], a = n >> 24;
                        for (int c = 0; c < 3; c++)
                            sum[c] += (n >> (8 * c) & 0xFF) * a;
                        weight += a;
                    }
                if (weight != 0)
                    upload[y * w + x] = (sum[2] + weight / 2) / weight << 16 |
                                        (sum[1] + weight / 2) / weight << 8 |
                                        (sum[0] + weight / 2) / weight;
            }
    }
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
} // namespace gl
} // namespace port
