#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"

// The back-buffer size comes from the settings file, read before the device is made.
#include "Settings/Settings.h"

#include <algorithm>
#include <cstring>

namespace
{
const int32_t TRIANGLE_BYTES = 3 * sizeof(DXVertexTL); // 96
} // namespace

void BackBufferSize(bool windowed, int32_t& width, int32_t& height)
{
    width = XResolution;
    height = YResolution;
    if (width != 0 && height != 0)
        return;
    // Full screen needs no change of mode, and the picture has the screen's own shape.
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    if (windowed)
    {
        width = width * 3 / 4;
        height = height * 3 / 4;
    }
}

namespace
{
// A window uses the desktop's format; full screen takes the game's own.
void SetWindowMode(D3DPRESENT_PARAMETERS& p, bool windowed)
{
    int32_t width, height;
    BackBufferSize(windowed, width, height);
    p.BackBufferWidth = UINT(width);
    p.BackBufferHeight = UINT(height);
    p.Windowed = windowed ? TRUE : FALSE;
    p.BackBufferFormat = windowed ? D3DFMT_UNKNOWN : D3DFMT_X8R8G8B8;
}
} // namespace

DXDevice::DXDevice(DXGfx* gfx, HWND window, int32_t triangleCapacity)
    : device(nullptr), window(window), triangleCapacity(0), vertexBuffer(nullptr),
      vertexData(nullptr), lost(false), screenEdge(0), lockedOffset(0), writtenFirst(0),
      writtenLast(-1)
{
    std::memset(&presentParams, 0, sizeof presentParams);
    presentParams.BackBufferFormat = D3DFMT_X8R8G8B8;
    presentParams.BackBufferCount = 1;
    presentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    presentParams.MultiSampleQuality = 0;
    presentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParams.hDeviceWindow = nullptr; // the focus window is used
    presentParams.Windowed = FALSE;
    presentParams.EnableAutoDepthStencil = TRUE;
    presentParams.AutoDepthStencilFormat = D3DFMT_D16;
    presentParams.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL |
                          D3DPRESENTFLAG_VIDEO;
    presentParams.FullScreen_RefreshRateInHz = 0;
    presentParams.PresentationInterval =
        PresentImmediately ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_DEFAULT;
    SetWindowMode(presentParams, Windowed != 0);

    // Full screen at the desktop's own size (now or after Alt+Enter) changes no mode, so
    // there is nothing to give back when the player leaves: the window stays as it is rather
    // than being minimised, and comes back however the focus returns (a minimised window may
    // not be given it again where no window manager restores it). The game pauses and brings
    // the lost device back itself.
    DWORD behaviour = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    int32_t fullWidth, fullHeight;
    BackBufferSize(false, fullWidth, fullHeight);
    if (fullWidth == GetSystemMetrics(SM_CXSCREEN) && fullHeight == GetSystemMetrics(SM_CYSCREEN))
        behaviour |= D3DCREATE_NOWINDOWCHANGES;
    HRESULT result = gfx->d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, behaviour,
                                            &presentParams, &device);
    if (FAILED(result))
    {
        device = nullptr;
        throw DXException(result,
                          "Failed to create Direct3D device: the display cannot show %u x %u %s. "
                          "Set XResolution and YResolution in GameSettings.ini to a size it can "
                          "show, or both to 0 for the desktop's own size.",
                          unsigned(presentParams.BackBufferWidth),
                          unsigned(presentParams.BackBufferHeight),
                          Windowed ? "in a window" : "full screen");
    }

    SetStartStates();

    this->triangleCapacity = triangleCapacity;
    shadow.assign(size_t(triangleCapacity) * size_t(TRIANGLE_BYTES), 0);
    try
    {
        CreateVertexBuffer();
    }
    catch (...)
    {
        // The destructor does not run for a half-made object: let the device go here.
        device->Release();
        device = nullptr;
        throw;
    }
}

void DXDevice::SetStartStates()
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
}

void DXDevice::CreateVertexBuffer()
{
    HRESULT result =
        device->CreateVertexBuffer(UINT(triangleCapacity) * UINT(TRIANGLE_BYTES), 0, FVF_VERTEX_TL,
                                   D3DPOOL_DEFAULT, &vertexBuffer, nullptr);
    if (FAILED(result))
    {
        vertexBuffer = nullptr;
        throw DXException(result, "DXDevice::DXDevice() - CreateVertexBuffer() failed");
    }
}

bool DXDevice::Restore()
{
    HRESULT result = device->TestCooperativeLevel();
    if (result == D3DERR_DEVICELOST)
        return false;
    if (result == D3DERR_DEVICENOTRESET)
    {
        if (!ResetDevice())
            return false;
    }
    else if (FAILED(result))
        throw DXException(result, "DXDevice::Restore() - TestCooperativeLevel() failed");
    lost = false;
    return true;
}

void DXDevice::SetWindowed(bool windowed)
{
    SetWindowMode(presentParams, windowed);
    if (!ResetDevice())
        lost = true; // lost on the way: Restore finishes the change once it can
}

bool DXDevice::ResetDevice()
{
    // Direct3D resets only a device whose default-pool resources are all gone.
    for (DXTexture* texture : textures)
        texture->Release();
    if (vertexBuffer)
    {
        vertexBuffer->Release();
        vertexBuffer = nullptr;
    }
    HRESULT result = device->Reset(&presentParams);
    if (result == D3DERR_DEVICELOST)
        return false;
    if (FAILED(result))
        throw DXException(result, "DXDevice::Restore() - Reset() failed");

    SetStartStates();
    CreateVertexBuffer();
    void* data = nullptr;
    result = vertexBuffer->Lock(0, 0, &data, 0);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Lock() - Lock failed()");
    std::memcpy(data, shadow.data(), shadow.size());
    result = vertexBuffer->Unlock();
    if (FAILED(result))
        throw DXException(result, "DXDevice::Unlock() - Unlock failed()");
    for (DXTexture* texture : textures)
        texture->Upload();
    return true;
}

DXDevice::~DXDevice()
{
    if (vertexBuffer)
        vertexBuffer->Release();
    if (device)
        device->Release();
}

void DXDevice::FillColour(D3DCOLOR colour)
{
    HRESULT result = device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0);
    if (FAILED(result))
        throw DXException(result, "DXDevice::FillColour() - Clear() failed");
    result = device->BeginScene();
    if (FAILED(result))
        throw DXException(result, "DXDevice::FillColour() - BeginScene() failed");
    result = device->SetFVF(FVF_VERTEX_TL);
    if (FAILED(result))
        throw DXException(result, "DXDevice::FillColour() - SetFVF() failed");

    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof material);
    material.Diffuse.r = material.Diffuse.g = material.Diffuse.b = material.Diffuse.a = 1.0f;
    material.Ambient.r = material.Ambient.g = material.Ambient.b = material.Ambient.a = 1.0f;
    device->SetMaterial(&material);
}

void DXDevice::Render()
{
    HRESULT result = device->EndScene();
    if (FAILED(result))
        throw DXException(result, "DXDevice::Render() - EndScene() failed");
    result = device->Present(nullptr, nullptr, window, nullptr);
    if (result == D3DERR_DEVICELOST)
    {
        // Not a failure: the game waits until the device can be reset.
        lost = true;
        return;
    }
    if (FAILED(result))
        throw DXException(result, "DXDevice::Render() - Present() failed");
}

void DXDevice::Lock(int32_t offset, int32_t size)
{
    if (size == 0 && offset != 0)
        size = triangleCapacity * TRIANGLE_BYTES - offset;
    void* data = nullptr;
    HRESULT result = vertexBuffer->Lock(UINT(offset), UINT(size), &data, 0);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Lock() - Lock failed()");
    vertexData = static_cast<BYTE*>(data);
    lockedOffset = size_t(offset);
    writtenFirst = triangleCapacity;
    writtenLast = -1;
}

void DXDevice::Unlock()
{
    if (writtenFirst <= writtenLast)
    {
        // Triangles count from the start of the locked range.
        size_t from = size_t(writtenFirst) * size_t(TRIANGLE_BYTES);
        size_t bytes = size_t(writtenLast - writtenFirst + 1) * size_t(TRIANGLE_BYTES);
        if (lockedOffset + from < shadow.size())
            std::memcpy(shadow.data() + lockedOffset + from, vertexData + from,
                        std::min(bytes, shadow.size() - lockedOffset - from));
    }
    writtenFirst = triangleCapacity;
    writtenLast = -1;
    HRESULT result = vertexBuffer->Unlock();
    if (FAILED(result))
        throw DXException(result, "DXDevice::Unlock() - Unlock failed()");
}

DXVertexTL* DXDevice::GetVBTri(int32_t index)
{
    if (index < 0 || index >= triangleCapacity)
        throw DXException(0, "DXDevice::GetVBTri() - Index out of range: %d", index);
    // What is handed out may be written: it goes into the kept copy at Unlock.
    if (index < writtenFirst)
        writtenFirst = index;
    if (index > writtenLast)
        writtenLast = index;
    return reinterpret_cast<DXVertexTL*>(vertexData + size_t(index) * size_t(TRIANGLE_BYTES));
}

void DXDevice::DrawTris(int32_t first, int32_t count, DXTexture* texture)
{
    HRESULT result;
    if (texture != nullptr)
    {
        result = device->SetTexture(0, texture->texture);
        if (FAILED(result))
            throw DXException(result, "DXDevice::DrawTris() - SetTexture() failed");
    }
    result = device->SetStreamSource(0, vertexBuffer, 0, sizeof(DXVertexTL));
    if (FAILED(result))
        throw DXException(result, "DXDevice::DrawTris() - SetStreamSource() failed");
    result = device->DrawPrimitive(D3DPT_TRIANGLELIST, UINT(3 * first), UINT(count));
    if (FAILED(result))
        throw DXException(result, "DXDevice::DrawTris() - DrawPrimitive() failed");
}

void DXDevice::Tri3TL(const DXVertexTL& a, const DXVertexTL& b, const DXVertexTL& c,
                      DXTexture* texture)
{
    static DXVertexTL vertices[3];
    vertices[0] = a;
    vertices[1] = b;
    vertices[2] = c;
    HRESULT result = device->SetTexture(0, texture->texture);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3TL() - SetTexture() failed");
    result = device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, sizeof(DXVertexTL));
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3TL() - DrawPrimitiveUP() failed");
}

void DXDevice::Tri3T(const DXVertexT& a, const DXVertexT& b, const DXVertexT& c, DXTexture* texture)
{
    static DXVertexT vertices[3];
    vertices[0] = a;
    vertices[1] = b;
    vertices[2] = c;
    HRESULT result = device->SetFVF(FVF_VERTEX_T);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3T() - SetFVF() failed");
    result = device->SetTexture(0, texture->texture);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3T() - SetTexture() failed");
    result = device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, sizeof(DXVertexT));
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3T() - DrawPrimitiveUP() failed");
    // The vertex buffer's format again, for the next DrawTris or Tri3TL.
    result = device->SetFVF(FVF_VERTEX_TL);
    if (FAILED(result))
        throw DXException(result, "DXDevice::Tri3T() - SetFVF() failed");
}

void DXDevice::CreateTexture(IDirect3DTexture9** texture, int32_t width, int32_t height,
                             bool staging)
{
    HRESULT result =
        device->CreateTexture(UINT(width), UINT(height), 1, 0, D3DFMT_A8R8G8B8,
                              staging ? D3DPOOL_SYSTEMMEM : D3DPOOL_DEFAULT, texture, nullptr);
    if (FAILED(result))
        throw DXException(result, "DXDevice::CreateTexture() - CreateTexture() failed");
}
