// Every picture the game loads.
#pragma once

#include "image.h"

#include <string>
#include <vector>

namespace worldgen
{

enum class Loader
{
    Texture, // 3D textures: white is see-through
    Overlay, // screen images: white see-through, magenta half see-through
    Picture, // full-screen pictures drawn without blending
};

struct Asset
{
    std::string file;
    Loader loader;
    Image image;
};

// In the order the game loads them.
std::vector<Asset> MakeAllArt();

// Families of pictures.
Image MakeGrass();
Image MakeWall();
Image MakeTree();
Image MakeBoard();
Image MakeZombie();
Image MakeAxeIdle();
Image MakeAxeSwing();
Image MakeDigit(char c, int width, int height);
Image MakeWoodIcon();
Image MakeClockIcon();
Image MakeBanner(const std::string& text, int width, int height, bool night);
Image MakeBoardPanel();
Image MakeBoardPrompt();
Image MakeGameOverOutside();
Image MakeGameOverKilled();

// The program's icon for desktops, as a PNG.
void WriteIcon(const std::string& pngPath);

// A sheet of every picture at its size, keyed ones on a checkerboard.
void WriteContactSheet(const std::vector<Asset>& art, const std::string& pngPath);

} // namespace worldgen
