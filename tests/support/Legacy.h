// Old test-world helpers, kept only while the tests move to TestWorld.h and HeadlessGame.h.
#pragma once

#include "support/TempDir.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace port
{
class MemoryDevice;
}

namespace testworld
{
struct Point;
struct Quad;
std::vector<int32_t> FlatHeights(int32_t value);
std::vector<uint8_t> Bitmap(int32_t width, int32_t height,
                            const std::function<uint32_t(int32_t, int32_t)>& colour, bool padRows);
void WriteWorld(const TempDir& dir, const std::vector<int32_t>& heights,
                const std::vector<Point>& houses, const std::vector<Point>& trees,
                const std::vector<Quad>& quads);
class HeadlessDevice
{
  public:
    explicit HeadlessDevice(int32_t triangleCapacity = 37058);
    ~HeadlessDevice();
    port::MemoryDevice* memory;
};
} // namespace testworld
