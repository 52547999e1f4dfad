#include "support/TestWorld.h"

#include "Game/House.h"
#include "Game/Images.h"
#include "image.h"

#include <filesystem>

namespace testworld
{
Quad UprightQuad(int32_t x0, int32_t x1, int32_t z0, int32_t z1)
{
    // A top-left, B top-right, C bottom-left, D bottom-right.
    return Quad{{x0, 0, z1, x1, 0, z1, x0, 0, z0, x1, 0, z0}};
}

Point HouseWithCorner(double cornerX, double cornerY)
{
    return {int32_t(cornerX + house::REFERENCE_X), int32_t(cornerY + house::REFERENCE_Y)};
}

std::vector<uint8_t> ModelBytes(const std::vector<Quad>& quads)
{
    std::vector<uint8_t> bytes;
    for (const Quad& q : quads)
        for (int32_t v : q.v)
            for (int i = 0; i < 4; i++)
                bytes.push_back(uint8_t((uint32_t(v) >> (8 * i)) & 0xFF));
    return bytes;
}

std::vector<int32_t> MapInts(const std::vector<Point>& houses, const std::vector<Point>& trees)
{
    std::vector<int32_t> ints{int32_t(houses.size())};
    for (const Point& p : houses)
        ints.insert(ints.end(), {p.x, p.y});
    ints.push_back(int32_t(trees.size()));
    for (const Point& p : trees)
        ints.insert(ints.end(), {p.x, p.y});
    return ints;
}

std::vector<uint8_t> Bitmap(int32_t width, int32_t height,
                            const std::function<uint32_t(int32_t, int32_t)>& colour)
{
    worldgen::Image picture(width, height);
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++)
        {
            uint32_t rgb = colour(x, y);
            picture.At(x, y) = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};
        }
    return worldgen::EncodeBmp(picture);
}

void WriteImages(const TempDir& dir)
{
    // Made once: every test world shows the same grey pictures.
    static std::vector<std::vector<uint8_t>> grey;
    if (grey.empty())
        for (const image::File& file : image::FILES)
            grey.push_back(
                Bitmap(file.width, file.height, [](int32_t, int32_t) { return 0x808080u; }));
    for (int32_t i = 0; i < image::COUNT; i++)
        dir.Write(std::string("Data/") + image::FILES[i].name, grey[size_t(i)]);
}

void WriteWorld(const TempDir& dir, const World& world)
{
    if (!world.copyFrom.empty())
    {
        namespace fs = std::filesystem;
        fs::copy_file(fs::path(world.copyFrom) / "GameSettings.ini",
                      fs::path(dir.Path()) / "GameSettings.ini",
                      fs::copy_options::overwrite_existing);
        fs::copy(fs::path(world.copyFrom) / "Data", fs::path(dir.Path()) / "Data",
                 fs::copy_options::overwrite_existing | fs::copy_options::recursive);
        return;
    }
    dir.Write("GameSettings.ini", world.settings);
    dir.WriteInts("Data/hmap.dat", world.heights);
    dir.WriteInts("Data/map.dat", MapInts(world.houses, world.trees));
    dir.Write("Data/HouseWl.mdl", ModelBytes(world.quads));
    WriteImages(dir);
}
} // namespace testworld
