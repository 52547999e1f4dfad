// The bitmap loaders over arbitrary files and sizes: LoadTexture, the member LoadOverlay
// and the free LoadOverlay of the game-over pictures. Each either makes its image or
// refuses the file with the toolkit's or the device's exception; a well-formed bitmap of
// the size asked for is never refused and loads as it was drawn.
//
// Input: byte 0 picks the loader (0 to 2) and, with bit 2 set, makes the file a well-formed
// bitmap of the pixels that follow, cycled; else what follows is the file. Bytes 1-2 and
// 3-4 are the width and height asked for (little-endian, 0 to 1024).
#include "FuzzSupport.h"
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXException.h"
#include "Gedx/DXGfx.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "image.h"
#include "port/MemoryDevice.h"
#include "port/Port.h"

#include <cstdlib>

namespace
{
CGame* SetUpOnce()
{
    static CGame* g = nullptr;
    if (g != nullptr)
        return g;
    EnterScratchDirectory();
    static char window;
    port::SetHeadless(true);
    gfx = new DXGfx();
    device = new DXDevice(gfx, reinterpret_cast<HWND>(&window), 16);
    g = new CGame();
    return g;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CGame* g = SetUpOnce();
    const bool encoded = size > 0 && data[0] & 4;
    if (size < (encoded ? 8u : 5u)) // an encoded picture takes a pixel at least
        return 0;
    int32_t width = int32_t((data[1] | data[2] << 8) % 1025);
    int32_t height = int32_t((data[3] | data[4] << 8) % 1025);
    const int loader = (data[0] & 3) % 3;
    worldgen::Image picture(width, height);
    for (size_t i = 0; encoded && i < picture.pixels.size(); i++)
    {
        const uint8_t* p = data + 5 + 3 * i % ((size - 5) / 3 * 3);
        picture.pixels[i] = {p[0], p[1], p[2]};
    }
    const std::vector<uint8_t> file =
        encoded ? worldgen::EncodeBmp(picture) : std::vector<uint8_t>(data + 5, data + size);
    WriteScratchFile("Data/fuzz.bmp", file.data(), file.size());
    try
    {
        DXTexture* texture = loader == 0 ? g->LoadTexture("fuzz.bmp", width, height) : nullptr;
        DXOverlay* overlay = loader == 1   ? g->LoadOverlay("fuzz.bmp", width, height)
                             : loader == 2 ? LoadOverlay("fuzz.bmp", width, height)
                                           : nullptr;
        // Loaded as drawn, white see-through, magenta half grey in a screen image; a texture
        // reads its rows without their padding, so only whole-word rows are compared.
        const port::MemoryTexture* t = port::LastMemoryDevice()->FindTexture(
            overlay ? overlay->texture->texture : texture->texture);
        for (int i = 0; encoded && (overlay || width % 4 == 0) && i < width * height; i++)
        {
            const worldgen::Rgb c = picture.pixels[size_t(i)];
            const uint32_t rgb = uint32_t(c.r << 16 | c.g << 8 | c.b);
            if (t->Texel(UINT(i % width), UINT(i / width)) != (c == worldgen::WHITE ? rgb
                                                               : c == worldgen::MAGENTA && overlay
                                                                   ? 0x7F7F7F7Fu
                                                                   : 0xFF000000u | rgb))
                std::abort();
        }
        delete texture;
        delete overlay;
    }
    catch (const _TException&)
    {
        if (encoded)
            std::abort();
    }
    catch (const DXException&)
    {
    }
    port::LastMemoryDevice()->ClearCalls();
    return 0;
}
