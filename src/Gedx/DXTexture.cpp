#include "Gedx/DXTexture.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Types3d/Types3d.h"

#include <algorithm>
#include <cstring>

DXTexture::DXTexture(DXDevice* device, int32_t width, int32_t height, const uint32_t* pixels)
    : texture(nullptr), owner(device), width(width), height(height),
      pixels(pixels, pixels + size_t(width) * size_t(height))
{
    Upload();
    device->textures.push_back(this);
}

void DXTexture::Upload()
{
    // The pixels go through a system-memory copy; the device keeps its own in the default pool.
    IDirect3DTexture9* staging = nullptr;
    owner->CreateTexture(&staging, width, height, true);

    // A failure below ends the program, but neither texture is left behind when it does.
    D3DLOCKED_RECT locked;
    HRESULT result = staging->LockRect(0, &locked, nullptr, 0);
    if (FAILED(result))
    {
        staging->Release();
        throw DXException(result, "DXTexture::DXTexture() - LockRect() failed");
    }
    // The surface's rows may be longer than the image's: step by its pitch.
    const size_t rowBytes = size_t(width) * 4;
    for (int32_t row = 0; row < height; row++)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + size_t(row) * size_t(locked.Pitch),
                    pixels.data() + size_t(row) * size_t(width), rowBytes);
    result = staging->UnlockRect(0);
    if (FAILED(result))
    {
        staging->Release();
        throw DXException(result, "DXTexture::DXTexture() - UnlockRect() failed");
    }

    try
    {
        owner->CreateTexture(&texture, width, height, false);
    }
    catch (...)
    {
        texture = nullptr;
        staging->Release();
        throw;
    }
    result = owner->device->UpdateTexture(staging, texture);
    if (FAILED(result))
    {
        staging->Release();
        texture->Release();
        texture = nullptr;
        throw DXException(0, "DXTexture::DXTexture() - UpdateTexture() failed");
    }
    staging->Release();
}

void DXTexture::Release()
{
    if (texture)
        texture->Release();
    texture = nullptr;
}

DXTexture::~DXTexture()
{
    Release();
    std::vector<DXTexture*>& live = owner->textures;
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

DXOverlay::DXOverlay(DXDevice* device, int32_t width, int32_t height, int32_t textureWidth,
                     int32_t textureHeight, const uint32_t* pixels)
    : texture(nullptr), width(width), height(height), textureWidth(textureWidth),
      textureHeight(textureHeight)
{
    texture = new DXTexture(device, textureWidth, textureHeight, pixels);
}

DXOverlay::~DXOverlay()
{
    delete texture;
}

void DXOverlay::Draw(DXDevice* device, int32_t x, int32_t y, int32_t anchorX, int32_t anchorY)
{
    // Placed on a fixed 640 x 480 grid. The right and bottom edges divide by one less, so a
    // full-screen image at (0, 0) covers -1 to 1 exactly.
    int32_t x0 = int32_t(x - double(width * anchorX) * 0.001);
    int32_t y0 = int32_t(y - double(height * anchorY) * 0.001);
    double left = x0 / 640.0 * 2.0 - 1.0;
    double top = y0 / 480.0 * 2.0 - 1.0;
    double right = (x0 + width - 1) / 639.0 * 2.0 - 1.0;
    double bottom = (y0 + height - 1) / 479.0 * 2.0 - 1.0;
    double uMax = double(width) / textureWidth;
    double vMax = double(height) / textureHeight;

    DXVertexT a = {float(left), float(top), 0.0f, 0.0f, 0.0f};
    DXVertexT b = {float(right), float(top), 0.0f, float(uMax), 0.0f};
    DXVertexT c = {float(left), float(bottom), 0.0f, 0.0f, float(vMax)};
    DXVertexT d = {float(right), float(bottom), 0.0f, float(uMax), float(vMax)};
    device->Tri3T(a, b, c, texture);
    device->Tri3T(b, d, c, texture);
}

void DXOverlay::DrawCentred(DXDevice* device, int32_t x, int32_t y)
{
    Draw(device, x, y, 500, 500);
}

namespace
{
// The grid's width over the screen's, both as tall: 1 on a 4:3 screen.
double GridWidthShare(const DXDevice* device)
{
    const double width = device->presentParams.BackBufferWidth;
    const double height = device->presentParams.BackBufferHeight;
    return width > 0 && height > 0 ? 4.0 * height / (3.0 * width) : 1.0;
}

void SetGridProjection(DXDevice* device, double scaleX, double scaleY, double shiftX)
{
    M3DMatrix projection = Identity();
    projection.m[0][0] = scaleX;
    projection.m[1][1] = scaleY;
    projection.m[3][0] = shiftX;
    device->device->SetTransform(D3DTS_PROJECTION,
                                 reinterpret_cast<const D3DMATRIX*>(ToD3DMatrix(projection)));
}
} // namespace

void SetScreenSpace(DXDevice* device)
{
    IDirect3DDevice9* d3d = device->device;
    SetGridProjection(device, GridWidthShare(device), 1.0, 0.0);
    device->screenEdge = SCREEN_MIDDLE;
    M3DMatrix mirror = Identity();
    mirror.m[1][1] = -1.0;
    d3d->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(ToD3DMatrix(mirror)));
    d3d->SetRenderState(D3DRS_ZENABLE, FALSE);
    d3d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d3d->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void KeepToEdge(DXDevice* device, ScreenEdge edge)
{
    const double share = GridWidthShare(device);
    if (edge == device->screenEdge)
        return;
    device->screenEdge = edge;
    // On a 4:3 screen every edge is the grid's own.
    if (share == 1.0)
        return;
    const double shift = edge == SCREEN_LEFT    ? share - 1.0
                         : edge == SCREEN_RIGHT ? 1.0 - share
                                                : 0.0;
    SetGridProjection(device, share, 1.0, shift);
}

void SetPictureSpace(DXDevice* device)
{
    SetScreenSpace(device);
    const double share = GridWidthShare(device);
    if (share > 1.0)
        SetGridProjection(device, 1.0, 1.0 / share, 0.0);
}
