// The OpenGL device's drawing: clears, and primitives from a vertex buffer's OpenGL buffer
// or from user memory as client arrays.
#include "port/gl/GLDevice.h"

namespace port
{
namespace gl
{
namespace
{
GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    }
    return GL_POINTS;
}
} // namespace

HRESULT GLDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colourValue,
                        float z, DWORD stencil)
{
    // The back buffer has no stencil.
    if (!d3d::ValidClear(count, rects, flags, z, HasDepth(), false))
        return D3DERR_INVALIDCALL;
    (void)stencil;
    MakeCurrent();
    swapped = false; // a new frame
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

void GLDevice::BindArrayBuffer(GLuint buffer)
{
    if (arrayBuffer == buffer)
        return;
    fn.bindBuffer(GL_ARRAY_BUFFER, buffer);
    arrayBuffer = buffer;
}

HRESULT GLDevice::Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, uintptr_t vertices, UINT stride)
{
    UINT count = 0;
    d3d::VerticesFor(type, primitiveCount, &count);
    if (count == 0)
        return D3D_OK;
    MakeCurrent();
    swapped = false;
    // An address, or an offset into the bound buffer.
    auto at = [vertices](size_t offset)
    { return reinterpret_cast<const void*>(vertices + offset); };
    ApplyTransforms();
    ApplyLight();
    ApplyTextureAndSampler();
    // Vertex layout of the flexible format: position, normal, diffuse, texture coordinates.
    size_t offset = 0;
    if ((fvf & 0x00E) == D3DFVF_XYZ)
    {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, GLsizei(stride), at(0));
        offset = 12;
    }
    else
        return D3DERR_INVALIDCALL; // only untransformed positions are supported
    if (fvf & D3DFVF_NORMAL)
    {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, GLsizei(stride), at(offset));
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
        glTexCoordPointer(2, GL_FLOAT, GLsizei(stride), at(offset));
    }
    else
    {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoord2f(0, 0);
    }
    glDrawArrays(PrimitiveMode(type), 0, GLsizei(count));
    return D3D_OK;
}

HRESULT GLDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    if (!d3d::ValidDraw(type, primitiveCount, inScene, fvf) ||
        !d3d::StreamHolds(stream, streamOffset, streamStride, type, startVertex, primitiveCount))
        return D3DERR_INVALIDCALL;
    if (primitiveCount == 0)
        return D3D_OK;
    size_t first = streamOffset + size_t(startVertex) * streamStride;
    MakeCurrent();
    BindArrayBuffer(stream->name);
    return Draw(type, primitiveCount, first, streamStride);
}

HRESULT GLDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount,
                                  const void* vertexData, UINT vertexStride)
{
    if (!d3d::ValidDraw(type, primitiveCount, inScene, fvf) || vertexData == nullptr ||
        vertexStride == 0 || primitiveCount == 0)
        return D3DERR_INVALIDCALL;
    MakeCurrent();
    BindArrayBuffer(0);
    HRESULT result =
        Draw(type, primitiveCount, reinterpret_cast<uintptr_t>(vertexData), vertexStride);
    // Direct3D leaves stream 0 unset after drawing from user memory.
    stream = nullptr;
    streamOffset = streamStride = 0;
    return result;
}
} // namespace gl
} // namespace port
