// The OpenGL device's state: Direct3D's render states, transforms, light, material and
// sampler states, translated into OpenGL's fixed-function pipeline.
#include "port/gl/GLDevice.h"

#include <algorithm>

namespace port
{
namespace gl
{
namespace
{
GLenum CompareFunction(DWORD f)
{
    switch (f)
    {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum BlendFactor(DWORD b)
{
    switch (b)
    {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    default:
        return GL_ONE;
    }
}

GLint AddressMode(DWORD a)
{
    switch (a)
    {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

void Colour4(const D3DCOLORVALUE& c, GLfloat out[4])
{
    out[0] = c.r;
    out[1] = c.g;
    out[2] = c.b;
    out[3] = c.a;
}
} // namespace

// Direct3D's initial state, in OpenGL's terms.
void GLDevice::ApplyDefaults()
{
    renderStates = d3d::DefaultRenderStates(parameters.EnableAutoDepthStencil != FALSE);
    for (const auto& state : renderStates)
        ApplyRenderState(state.first, state.second);
    sampler = d3d::DefaultSamplerStates();
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
        if (value != D3DZB_FALSE && HasDepth())
            glEnable(GL_DEPTH_TEST);
        else
            glDisable(GL_DEPTH_TEST); // no test also means no depth written, in both APIs
        break;
    case D3DRS_ZWRITEENABLE:
        glDepthMask(value ? GL_TRUE : GL_FALSE);
        break;
    case D3DRS_ZFUNC:
        glDepthFunc(CompareFunction(value));
        break;
    case D3DRS_ALPHATESTENABLE:
        if (value)
            glEnable(GL_ALPHA_TEST);
        else
            glDisable(GL_ALPHA_TEST);
        break;
    case D3DRS_ALPHAREF:
    case D3DRS_ALPHAFUNC:
        // The reference is a byte: 0..255 of the texel's alpha.
        glAlphaFunc(CompareFunction(get(D3DRS_ALPHAFUNC)),
                    GLclampf((get(D3DRS_ALPHAREF) & 0xFF) / 255.0));
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
    case D3DRS_SPECULARENABLE:
        lightDirty = true;
        break;
    default:
        break; // states the game never changes keep their defaults
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

HRESULT GLDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (matrix == nullptr)
        return D3DERR_INVALIDCALL;
    switch (state)
    {
    case D3DTS_VIEW:
        view = *matrix;
        break;
    case D3DTS_PROJECTION:
        projection = *matrix;
        break;
    case D3DTS_WORLD:
        world = *matrix;
        break;
    default:
        return D3D_OK; // texture transforms are not used
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
    if (!d3d::ValidLight(light))
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
        light0 = d3d::DefaultLight();
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
    if (stage >= d3d::MAX_TEXTURE_STAGES)
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
    if (samplerIndex >= d3d::MAX_SAMPLERS)
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
    if (streamNumber >= d3d::MAX_STREAMS || (streamData != nullptr && own == nullptr))
        return D3DERR_INVALIDCALL;
    if (streamNumber == 0)
    {
        stream = own;
        streamOffset = offsetInBytes;
        streamStride = stride;
    }
    return D3D_OK;
}
} // namespace gl
} // namespace port
