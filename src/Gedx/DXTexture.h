// Device textures made from blocks of 0xAARRGGBB pixels, and screen images placed on a
// fixed 640 x 480 grid whatever the display resolution.
#pragma once

#include "Platform.h"

#include <cstdint>
#include <vector>

class DXDevice;

class DXTexture
{
  public:
    IDirect3DTexture9* texture;

    // pixels: width x height words, top row first; the caller keeps ownership.
    DXTexture(DXDevice* device, int32_t width, int32_t height, const uint32_t* pixels);
    ~DXTexture();

    // A device reset takes the default pool away: the texture lets go of it and is made
    // again from the pixels it keeps.
    void Release();
    void Upload();

  private:
    DXDevice* owner;
    int32_t width, height;
    std::vector<uint32_t> pixels;
};

class DXOverlay
{
  public:
    DXTexture* texture;
    int32_t width, height;               // the image, in screen pixels
    int32_t textureWidth, textureHeight; // the texture holding it in its top-left corner

    DXOverlay(DXDevice* device, int32_t width, int32_t height, int32_t textureWidth,
              int32_t textureHeight, const uint32_t* pixels);
    ~DXOverlay();

    // Puts the point (anchorX/1000 of the width, anchorY/1000 of the height) at (x, y).
    void Draw(DXDevice* device, int32_t x, int32_t y, int32_t anchorX, int32_t anchorY);
    void DrawCentred(DXDevice* device, int32_t x, int32_t y);
};

// The set-up every caller establishes before its first overlay of a frame: a view that
// mirrors y (pixel rows run down the screen), no depth test or depth writes, no lighting,
// and a projection that puts the grid in the middle of the screen (the identity on a 4:3
// screen). Alpha handling is left to the caller.
void SetScreenSpace(DXDevice* device);

// On a screen of another shape the grid stays 480 high and grows or shrinks sideways about
// the middle; an image kept to the left or right edge stays that far from it. Sets the
// projection only where it changes.
enum ScreenEdge
{
    SCREEN_LEFT,
    SCREEN_MIDDLE,
    SCREEN_RIGHT
};
void KeepToEdge(DXDevice* device, ScreenEdge edge);

// The whole 640 x 480 grid as large as the screen holds it, in the middle: a full-screen
// picture, undistorted, between bars.
void SetPictureSpace(DXDevice* device);
