// The OpenGL device's textures and vertex buffers: default-pool textures live in OpenGL,
// system-memory ones in memory, vertex buffers in both.
#include "port/gl/GLDevice.h"

#include <algorithm>

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
    {
        // The storage a system-memory texture released before us left: pictures go through
        // these one after another, and each would otherwise take fresh memory.
        texels.swap(device->spareTexels);
        texels.assign(size_t(width) * height, 0u);
    }
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
    else if (texels.capacity() > device->spareTexels.capacity())
        device->spareTexels.swap(texels);
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
    : VertexRange(length, fvf), device(device)
{
    // Storage only: nothing is written until the caller locks it.
    device->MakeCurrent();
    fn.genBuffers(1, &name);
    device->BindArrayBuffer(name);
    fn.bufferData(GL_ARRAY_BUFFER, GLsizeiptr(length), nullptr, GL_DYNAMIC_DRAW);
    device->AddRef();
    device->buffers.push_back(this);
}

GLVertexBuffer::~GLVertexBuffer()
{
    device->MakeCurrent();
    fn.deleteBuffers(1, &name); // unmaps it too
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
    HRESULT result = BeginLock(offsetToLock, sizeToLock, data);
    if (FAILED(result))
        return result;
    if (mapped == nullptr)
    {
        // As a Direct3D lock without flags: what the buffer holds can be read and written.
        device->MakeCurrent();
        device->BindArrayBuffer(name);
        mapped = static_cast<uint8_t*>(fn.mapBuffer(GL_ARRAY_BUFFER, GL_READ_WRITE));
        if (mapped == nullptr)
        {
            EndLock();
            return D3DERR_INVALIDCALL;
        }
    }
    *data = mapped + offsetToLock;
    return D3D_OK;
}

HRESULT GLVertexBuffer::Unlock()
{
    HRESULT result = EndLock();
    if (FAILED(result) || lockCount > 0)
        return result;
    device->MakeCurrent();
    device->BindArrayBuffer(name);
    mapped = nullptr;
    // The driver lost the contents meanwhile (a change of display mode can do that): as
    // when Direct3D loses video memory, the device must be reset and the buffer written
    // again.
    if (fn.unmapBuffer(GL_ARRAY_BUFFER) == GL_FALSE)
        device->cooperativeLevel = D3DERR_DEVICENOTRESET;
    return D3D_OK;
}

void GLDevice::Forget(const GLTexture* texture)
{
    if (boundTexture == texture)
        boundTexture = nullptr;
}

void GLDevice::Forget(const GLVertexBuffer* buffer)
{
    if (arrayBuffer == buffer->name)
        arrayBuffer = 0; // deleting a bound buffer unbinds it
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
    if (glGetError() != GL_NO_ERROR)
    {
        (*vertexBuffer)->Release();
        *vertexBuffer = nullptr;
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    return D3D_OK;
}

HRESULT GLDevice::UpdateTexture(IDirect3DBaseTexture9* source, IDirect3DBaseTexture9* destination)
{
    GLTexture* from = OwnTexture(source);
    GLTexture* to = OwnTexture(destination);
    if (!d3d::CanUpdate(from, to))
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    const uint32_t* texels = from->texels.data();
    // Changed texels go into the device's one scratch copy, which keeps its size from one
    // picture to the next instead of taking fresh memory for each.
    std::vector<uint32_t>& changed = uploadScratch;
    bool copied = false;
    if (to->format == D3DFMT_X8R8G8B8)
    {
        changed.assign(from->texels.begin(), from->texels.end());
        for (uint32_t& t : changed)
            t |= 0xFF000000u; // no alpha channel: opaque
        texels = changed.data();
    }
    else
    {
        // A see-through texel keeps its colour (the keyed pictures' white), and the linear
        // filter would blend it into the edge of every cut-out as a pale fringe. Each one
        // touching a visible texel takes their colour, weighted by alpha, wrapping as the
        // sampler does; its alpha stays 0, so nothing else a blended draw shows changes.
        const size_t w = to->width, h = to->height;
        const uint32_t* in = from->texels.data();
        for (size_t y = 0; y < h; y++)
        {
            const uint32_t* rows[3] = {in + (y == 0 ? h - 1 : y - 1) * w, in + y * w,
                                       in + (y + 1 == h ? 0 : y + 1) * w};
            for (size_t x = 0; x < w; x++)
            {
                if (rows[1][x] >> 24 != 0)
                    continue;
                const size_t columns[3] = {x == 0 ? w - 1 : x - 1, x, x + 1 == w ? 0 : x + 1};
                uint32_t sum[3] = {}, weight = 0;
                for (const uint32_t* row : rows)
                    for (size_t column : columns)
                    {
                        const uint32_t n = row[column], a = n >> 24;
                        if (a == 0)
                            continue;
                        for (int c = 0; c < 3; c++)
                            sum[c] += (n >> (8 * c) & 0xFF) * a;
                        weight += a;
                    }
                if (weight == 0)
                    continue;
                if (!copied) // copied only when a texel changes
                    changed.assign(from->texels.begin(), from->texels.end());
                copied = true;
                changed[y * w + x] = (sum[2] + weight / 2) / weight << 16 |
                                     (sum[1] + weight / 2) / weight << 8 |
                                     (sum[0] + weight / 2) / weight;
            }
        }
        if (copied)
            texels = changed.data();
    }
    glBindTexture(GL_TEXTURE_2D, to->name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    // 0xAARRGGBB words are the bytes B, G, R, A in memory.
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(to->width), GLsizei(to->height), GL_BGRA,
                    GL_UNSIGNED_BYTE, texels);
    if (boundTexture)
        glBindTexture(GL_TEXTURE_2D, boundTexture->name);
    return glGetError() == GL_NO_ERROR ? D3D_OK : D3DERR_INVALIDCALL;
}
} // namespace gl
} // namespace port
