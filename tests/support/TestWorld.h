// Small synthetic worlds for tests: the three world files, every bitmap the game loads,
// and a DXDevice on the port's in-memory Direct3D device.
#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace port
{
class MemoryDevice;
}

namespace testworld
{

struct Point
{
    int32_t x, y;
};

// One wall quad: corners A, B, C, D, each (x, y, z) in half units from the house corner.
struct Quad
{
    int32_t v[12];
};

// A wall with a window-sized hole would need more; one upright quad is enough to test with.
Quad UprightQuad(int32_t x0, int32_t x1, int32_t z0, int32_t z1);

std::vector<int32_t> FlatHeights(int32_t value);
std::vector<uint8_t> ModelBytes(const std::vector<Quad>& quads);
std::vector<int32_t> MapInts(const std::vector<Point>& houses, const std::vector<Point>& trees);

// A 24-bit bottom-up bitmap with a correct header. colour(x, y) gives 0xRRGGBB with y
// counted from the top. Rows are padded to four bytes unless padRows is false.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height,
                            const std::function<uint32_t(int32_t, int32_t)>& colour,
                            bool padRows = true);

// Every image LoadWorld reads, each a solid grey at its size.
void WriteImages(const TempDir& dir);

// hmap.dat, map.dat, HouseWl.mdl and every image.
void WriteWorld(const TempDir& dir, const std::vector<int32_t>& heights,
                const std::vector<Point>& houses, const std::vector<Point>& trees,
                const std::vector<Quad>& quads);

// The globals `gfx` and `device` on the in-memory device, removed again on destruction.
class HeadlessDevice
{
  public:
    explicit HeadlessDevice(int32_t triangleCapacity = 37058);
    ~HeadlessDevice();
    port::MemoryDevice* memory;
};

} // namespace testworld
