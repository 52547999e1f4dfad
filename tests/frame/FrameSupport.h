// Shared pieces of the frame tests: the headless device behind the global `device`, a
// game object filled by hand (no files), and readers for what the device recorded.
#pragma once

#include "Platform.h"
#include "port/MemoryDevice.h"
#include "support/TestWorld.h"

#include <cstdint>
#include <string>
#include <vector>

class CGame;
class DXOverlay;
class DXTexture;

using testworld::HeadlessDevice;

DXOverlay* MakeOverlay(int32_t width, int32_t height);
DXTexture* MakeTexture();
std::string NameOf(DXOverlay* overlay);
std::string NameOf(DXTexture* texture);

// A game with every image the display uses at its real size, one house at (100, 200)
// on ground 30, two trees and the zombie records; then Reset. Terrain 4 triangles,
// walls 2, trees 4; the projection holds 1..16 so its restore can be told apart.
void FillTestGame(CGame& game);

// An overlay draw, read back from its two screen triangles, in screen pixels.
struct ScreenRect
{
    std::string texture;
    int x0, y0, width, height;
    bool operator==(const ScreenRect& o) const
    {
        return texture == o.texture && x0 == o.x0 && y0 == o.y0 && width == o.width &&
               height == o.height;
    }
};
std::ostream& operator<<(std::ostream& out, const ScreenRect& r);
std::vector<ScreenRect> OverlayRects(const std::vector<port::DeviceCall>& calls);
ScreenRect Rect(DXOverlay* overlay, int x0, int y0);

// The device calls that shape a frame, one short line each: clears, scenes, transforms,
// render states, locks and draws (with their textures). Format switches and texture
// bindings inside the draw helpers are left out.
std::vector<std::string> FrameTrace(const std::vector<port::DeviceCall>& calls);

// The vertices of a recorded DrawPrimitiveUP of lit vertices.
struct LitVertex
{
    float x, y, z, nx, ny, nz, u, v;
};
std::vector<LitVertex> LitVertices(const port::DeviceCall& call);

// A point through a recorded row-vector matrix.
void Transform(const D3DMATRIX& m, double x, double y, double z, double out[3]);
