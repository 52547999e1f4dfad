// An RGB picture and the 24-bit bitmap files the game reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace worldgen
{

struct Rgb
{
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

constexpr Rgb WHITE{255, 255, 255};
constexpr Rgb MAGENTA{255, 0, 255};

// Rows top to bottom, as drawn on screen.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Image() = default;
    Image(int w, int h, Rgb fill = WHITE) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    Rgb& At(int x, int y) { return pixels[size_t(y) * width + x]; }
    const Rgb& At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// Colours that the loaders would show as an opaque, almost-key pixel: the
// tell-tale fringe of anti-aliasing against a key colour.
bool IsNearWhite(Rgb c);
bool IsNearMagenta(Rgb c);

// 14-byte file header, 40-byte information header, bottom-up rows padded to 4 bytes.
std::vector<uint8_t> EncodeBmp(const Image& img);
bool DecodeBmp(const std::vector<uint8_t>& bytes, Image& out, std::string& error);

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);

} // namespace worldgen
