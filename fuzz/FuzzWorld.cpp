// The world loader over arbitrary world files: the heightmap, the map and the wall model
// come from one input, split in three. Whatever the files hold, the load either succeeds,
// and then the world can be reset, updated and drawn, or ends in one of the exceptions
// the entry point reports. Anything else escaping is a crash.
//
// Input: byte 0 flags (bit 0: the heightmap part is written as it is, else repeated to
// the full 65536 bytes; bit 1: the map and the model are made well-formed — the map's
// counts rewritten to the points it holds, the model cut to whole quads — so that the
// input reaches the checks behind the ones on sizes), bytes 1-4 and 5-8 the heightmap and
// map part lengths (little-endian, cut to what is there), then the heightmap, map and model.
#include "FuzzSupport.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Tlib/TException.h"
#include "image.h"
#include "input/DXInput.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <algorithm>
#include <vector>

namespace
{
uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void SetUpOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    EnterScratchDirectory();
    for (const image::File& file : image::FILES)
    {
        const std::vector<uint8_t> grey =
            worldgen::EncodeBmp(worldgen::Image(file.width, file.height, {0x60, 0x60, 0x60}));
        WriteScratchFile(std::string("Data/") + file.name, grey.data(), grey.size());
    }

    // Each input gets a game object of its own instead of the start-up one.
    delete game;
    game = nullptr;
    static char window;
    port::SetHeadless(true);
    port::UseTestClock(1000);
    gfx = new DXGfx();
    device = new DXDevice(gfx, reinterpret_cast<HWND>(&window), VERTEX_BUFFER_TRIANGLES);
    dxInput = new DXInput();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SetUpOnce();
    if (size < 9)
        return 0;
    size_t left = size - 9;
    const size_t heightBytes = Le32(data + 1) % (left + 1);
    left -= heightBytes;
    const size_t mapBytes = Le32(data + 5) % (left + 1);
    const uint8_t* heights = data + 9;
    std::vector<uint8_t> hmap(heights, heights + heightBytes);
    if (!(data[0] & 1) && heightBytes > 0) // the part repeated to the whole heightmap
    {
        hmap.resize(65536);
        for (size_t i = heightBytes; i < hmap.size(); i++)
            hmap[i] = heights[i % heightBytes];
    }
    WriteScratchFile("Data/hmap.dat", hmap.data(), hmap.size());
    std::vector<uint8_t> map(heights + heightBytes, heights + heightBytes + mapBytes);
    std::vector<uint8_t> model(heights + heightBytes + mapBytes, data + size);
    if (data[0] & 2)
    {
        // Points (8 bytes each) after the first count: the houses as the count asks, at
        // most 20, the rest trees.
        size_t points = map.size() < 4 ? 0 : (map.size() - 4) / 8;
        uint32_t houses = map.size() < 4 ? 0 : std::min<uint32_t>(Le32(map.data()) % 21, points);
        std::vector<uint8_t> fixed(4 + 8 * houses + 4 + 8 * (points - houses));
        auto put = [&fixed](size_t at, uint32_t v)
        {
            for (int i = 0; i < 4; i++)
                fixed[at + size_t(i)] = uint8_t(v >> (8 * i));
        };
        put(0, houses);
        for (size_t b = 0; b < 8 * points; b++)
            fixed[b < 8 * houses ? 4 + b : 8 + b] = map[4 + b];
        put(4 + 8 * houses, uint32_t(points - houses));
        map.swap(fixed);
        model.resize(std::max<size_t>(48, model.size() / 48 * 48));
    }
    WriteScratchFile("Data/map.dat", map.data(), map.size());
    WriteScratchFile("Data/HouseWl.mdl", model.data(), model.size());

    CGame* g = new CGame();
    game = g;
    gameState = 0;
    try
    {
        g->LoadWorld();
        // A world that loads must also play: a frame at night in the first house, drawn.
        g->Reset();
        if (g->houseCount > 0)
        {
            g->posX = g->houses[0].x + 32.0;
            g->posY = g->houses[0].y + 20.0;
            port::AdvanceTestClock(1000);
            g->gameMinutes = 710;
            g->Update();
            port::AdvanceTestClock(1000);
            g->Update();
        }
        g->Render();
        device->Render();
    }
    catch (const _TException&)
    {
    }
    catch (const DXException&)
    {
    }
    delete g;
    game = nullptr;
    port::LastMemoryDevice()->ClearCalls();
    // A failed load may leave the buffer locked.
    while (port::LastMemoryDevice()->VertexBuffers().size() &&
           port::LastMemoryDevice()->VertexBuffers()[0]->lockCount > 0)
        device->Unlock();
    return 0;
}
