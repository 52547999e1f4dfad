#include "image.h"

#include <cstdio>
#include <stdexcept>

namespace worldgen
{

bool IsNearWhite(Rgb c)
{
    return c != WHITE && c.r >= 225 && c.g >= 225 && c.b >= 225;
}

bool IsNearMagenta(Rgb c)
{
    return c != MAGENTA && c.r >= 200 && c.g <= 60 && c.b >= 200;
}

static void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}

static void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = uint8_t(x >> (8 * i));
}

static uint32_t Get32(const std::vector<uint8_t>& v, size_t at)
{
    return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 |
           uint32_t(v[at + 3]) << 24;
}

static uint32_t RowBytes(int width)
{
    return (uint32_t(width) * 3 + 3) & ~3u;
}

std::vector<uint8_t> EncodeBmp(const Image& img)
{
    const uint32_t row = RowBytes(img.width);
    const uint32_t dataSize = row * uint32_t(img.height);
    std::vector<uint8_t> out(54 + dataSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, uint32_t(out.size()));
    Put32(out, 10, 54);
    Put32(out, 14, 40);
    Put32(out, 18, uint32_t(img.width));
    Put32(out, 22, uint32_t(img.height)); // positive: bottom-up
    Put16(out, 26, 1);
    Put16(out, 28, 24);
    Put32(out, 30, 0); // BI_RGB
    Put32(out, 34, dataSize);
    Put32(out, 38, 2835); // 72 dpi
    Put32(out, 42, 2835);
    for (int fileRow = 0; fileRow < img.height; ++fileRow)
    {
        const int y = img.height - 1 - fileRow;
        size_t at = 54 + size_t(fileRow) * row;
        for (int x = 0; x < img.width; ++x)
        {
            const Rgb& p = img.At(x, y);
            out[at++] = p.b;
            out[at++] = p.g;
            out[at++] = p.r;
        }
    }
    return out;
}

bool DecodeBmp(const std::vector<uint8_t>& b, Image& out, std::string& error)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
    {
        error = "not a bitmap";
        return false;
    }
    const int32_t w = int32_t(Get32(b, 18));
    const int32_t h = int32_t(Get32(b, 22));
    const uint16_t bpp = uint16_t(b[28] | b[29] << 8);
    if (Get32(b, 10) != 54 || Get32(b, 14) != 40 || bpp != 24 || Get32(b, 30) != 0 || w <= 0 ||
        h <= 0)
    {
        error = "not a 24-bit uncompressed bottom-up bitmap with pixels at byte 54";
        return false;
    }
    const uint32_t row = RowBytes(w);
    if (b.size() != 54 + size_t(row) * h || Get32(b, 2) != b.size() || Get32(b, 34) != row * h)
    {
        error = "file or image size in the header does not match the pixels";
        return false;
    }
    out = Image(w, h);
    for (int fileRow = 0; fileRow < h; ++fileRow)
    {
        size_t at = 54 + size_t(fileRow) * row;
        for (int x = 0; x < w; ++x, at += 3)
            out.At(x, h - 1 - fileRow) = Rgb{b[at + 2], b[at + 1], b[at]};
    }
    return true;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        throw std::runtime_error("cannot create " + path);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok)
        throw std::runtime_error("cannot write " + path);
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        throw std::runtime_error("cannot open " + path);
    std::vector<uint8_t> out;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

} // namespace worldgen
