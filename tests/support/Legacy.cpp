#include "support/Legacy.h"
#include "support/TestWorld.h"

#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXGfx.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

namespace testworld
{
std::vector<int32_t> FlatHeights(int32_t value)
{
    return std::vector<int32_t>(128 * 128, value);
}

namespace
{
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}
} // namespace

std::vector<uint8_t> Bitmap(int32_t width, int32_t height,
                            const std::function<uint32_t(int32_t, int32_t)>& colour, bool padRows)
{
    size_t rowBytes = size_t(width) * 3;
    if (padRows)
        rowBytes = (rowBytes + 3) & ~size_t(3);
    std::vector<uint8_t> b(54 + rowBytes * size_t(height), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, 54);
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = 24;
    Put32(b, 34, uint32_t(rowBytes * size_t(height)));
    for (int32_t r = 0; r < height; r++)
        for (int32_t c = 0; c < width; c++)
        {
            uint32_t rgb = colour(c, height - 1 - r);
            size_t at = 54 + size_t(r) * rowBytes + size_t(c) * 3;
            b[at] = uint8_t(rgb);
            b[at + 1] = uint8_t(rgb >> 8);
            b[at + 2] = uint8_t(rgb >> 16);
        }
    return b;
}

void WriteWorld(const TempDir& dir, const std::vector<int32_t>& heights,
                const std::vector<Point>& houses, const std::vector<Point>& trees,
                const std::vector<Quad>& quads)
{
    dir.WriteInts("Data/hmap.dat", heights);
    dir.WriteInts("Data/map.dat", MapInts(houses, trees));
    dir.Write("Data/HouseWl.mdl", ModelBytes(quads));
    WriteImages(dir);
}

HeadlessDevice::HeadlessDevice(int32_t triangleCapacity) : memory(nullptr)
{
    static char window;
    port::SetHeadless(true);
    gfx = new DXGfx();
    try
    {
        device = new DXDevice(gfx, reinterpret_cast<HWND>(&window), triangleCapacity);
    }
    catch (...)
    {
        delete gfx;
        gfx = nullptr;
        throw;
    }
    memory = port::LastMemoryDevice();
}

HeadlessDevice::~HeadlessDevice()
{
    delete device;
    device = nullptr;
    delete gfx;
    gfx = nullptr;
}
} // namespace testworld
