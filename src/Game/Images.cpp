// The bitmap loaders: 24-bit uncompressed bottom-up images under Data\, read from byte 54.
// The header is checked against the size the caller asks for, so a wrong or damaged
// image is refused with its name instead of being drawn as garbage.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXTexture.h"
#include "Tlib/TException.h"
#include "Tlib/TFile.h"

#include <cstring>
#include <vector>

namespace
{
const uint32_t PIXEL_OFFSET = 54; // 14-byte file header and 40-byte information header
const uint32_t WHITE = 0x00FFFFFF;
const uint32_t MAGENTA = 0x00FF00FF;
const uint32_t HALF_GREY = 0x7F7F7F7F;

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

[[noreturn]] void Refuse(const TString& path, const TString& what)
{
    throw _TFileException(2, TString("FILEERR_INVALID_DATA"),
                          TString("%s: %s", path.text, what.text));
}

// Opens the image, checks that its header describes exactly the picture asked for with
// rows of rowBytes each, and reads the pixel rows (bottom row first) into `rows`.
void ReadBitmap(const char* fileName, int32_t width, int32_t height, uint32_t rowBytes,
                std::vector<uint8_t>& rows)
{
    TString path("Data\\%s", fileName);
    TFile file(path, 1, true);
    uint32_t size = file.GetSize();
    uint8_t header[PIXEL_OFFSET];
    if (size < PIXEL_OFFSET)
        Refuse(path, TString("%u bytes, too short for a bitmap", unsigned(size)));
    file.Read(header, PIXEL_OFFSET);
    if (file.eof || header[0] != 'B' || header[1] != 'M')
        Refuse(path, TString("not a bitmap"));
    uint32_t offBits = Le32(header + 10);
    int32_t fileWidth = int32_t(Le32(header + 18));
    int32_t fileHeight = int32_t(Le32(header + 22));
    uint16_t bitCount = Le16(header + 28);
    uint32_t compression = Le32(header + 30);
    if (offBits != PIXEL_OFFSET)
        Refuse(path, TString("pixel data at byte %u, not 54", unsigned(offBits)));
    if (bitCount != 24 || compression != 0)
        Refuse(path, TString("%u bits a pixel, compression %u; 24-bit uncompressed needed",
                             unsigned(bitCount), unsigned(compression)));
    if (fileWidth != width || fileHeight != height)
        Refuse(path, TString("%d x %d pixels, %d x %d bottom-up needed", int(fileWidth),
                             int(fileHeight), int(width), int(height)));
    uint64_t needed = uint64_t(PIXEL_OFFSET) + uint64_t(rowBytes) * uint64_t(height);
    if (size < needed)
        Refuse(path, TString("%u bytes, %llu needed", unsigned(size), (unsigned long long)needed));

    rows.resize(size_t(rowBytes) * size_t(height));
    if (!rows.empty())
        file.Read(rows.data(), uint32_t(rows.size()));
    if (file.eof)
        Refuse(path, TString("the file could not be read to its end"));
}

uint32_t PixelAt(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
}

DXOverlay* ReadOverlay(const char* fileName, int32_t width, int32_t height)
{
    int32_t tw = NextPowerOfTwo(width);
    int32_t th = NextPowerOfTwo(height);
    // The padding round the image is transparent white.
    std::vector<uint32_t> pixels(size_t(tw) * size_t(th), WHITE);

    // Rows in the file are padded to a multiple of four bytes.
    uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> rows;
    ReadBitmap(fileName, width, height, rowBytes, rows);
    for (int32_t r = 0; r < height; r++)
    {
        const uint8_t* in = rows.data() + size_t(r) * rowBytes;
        uint32_t* out = pixels.data() + size_t(height - 1 - r) * size_t(tw);
        for (int32_t c = 0; c < width; c++, in += 3)
        {
            uint32_t pixel = PixelAt(in);
            if (pixel == MAGENTA)
                pixel = HALF_GREY;
            else if (pixel != WHITE)
                pixel |= 0xFF000000u;
            out[c] = pixel;
        }
    }
    return new DXOverlay(device, width, height, tw, th, pixels.data());
}
} // namespace

DXTexture* CGame::LoadTexture(const char* fileName, int32_t width, int32_t height)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    // Texture widths (64, 128) give rows of a multiple of four bytes: no padding.
    uint32_t rowBytes = uint32_t(width) * 3;
    std::vector<uint8_t> rows;
    ReadBitmap(fileName, width, height, rowBytes, rows);
    for (int32_t r = 0; r < height; r++)
    {
        const uint8_t* in = rows.data() + size_t(r) * rowBytes;
        uint32_t* out = pixels.data() + size_t(height - 1 - r) * size_t(width);
        for (int32_t c = 0; c < width; c++, in += 3)
        {
            uint32_t pixel = PixelAt(in);
            if (pixel != WHITE)
                pixel |= 0xFF000000u;
            out[c] = pixel;
        }
    }
    return new DXTexture(device, width, height, pixels.data());
}

DXOverlay* CGame::LoadOverlay(const char* fileName, int32_t width, int32_t height)
{
    return ReadOverlay(fileName, width, height);
}

DXOverlay* LoadOverlay(const char* fileName, int32_t width, int32_t height)
{
    return ReadOverlay(fileName, width, height);
}

int32_t CGame::NextPowerOfTwo(int32_t n)
{
    return ::NextPowerOfTwo(n);
}

int32_t NextPowerOfTwo(int32_t n)
{
    int32_t p = 1;
    while (p < n && p < (1 << 30)) // stops short of overflowing for absurd sizes
        p <<= 1;
    return p;
}
