// gloamfield-worldgen: writes the terrain, the map, the house model, every
// picture and the default settings the game needs to start.
#include "art.h"
#include "heightmap.h"
#include "house_model.h"
#include "image.h"
#include "placement.h"
#include "rng.h"
#include "world.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <sys/stat.h>

using namespace worldgen;

namespace
{

constexpr uint64_t SHIPPED_SEED = 1871;

struct Options
{
    uint64_t seed = SHIPPED_SEED;
    std::string out = ".";
    std::string sheet; // write a contact sheet of the art instead of a world
    std::string icon;  // write the program's icon instead of a world
};

[[noreturn]] void Usage()
{
    std::fprintf(stderr,
                 "usage: gloamfield-worldgen [--seed N] [--out DIR] [--contact-sheet FILE.png] "
                 "[--icon FILE.png]\n");
    std::exit(2);
}

Options Parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            Usage();
        if (a == "--seed")
        {
            char* end = nullptr;
            o.seed = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0')
                Usage();
        }
        else if (a == "--out")
            o.out = argv[++i];
        else if (a == "--contact-sheet")
            o.sheet = argv[++i];
        else if (a == "--icon")
            o.icon = argv[++i];
        else
            Usage();
    }
    return o;
}

void MakeDir(const std::string& d)
{
    if (mkdir(d.c_str(), 0755) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot create directory " + d);
}

std::vector<uint8_t> Int32s(const std::vector<int32_t>& v)
{
    std::vector<uint8_t> out;
    out.reserve(v.size() * 4);
    for (int32_t x : v)
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(uint32_t(x) >> (8 * i)));
    return out;
}

World Generate(uint64_t seed, const std::vector<Quad>& model)
{
    Rng master(seed);
    std::vector<std::string> last;
    // A seed occasionally gives hills too rough for enough houses; try again
    // from the same seed's next stream rather than ship a poorer world.
    for (int attempt = 0; attempt < 24; ++attempt)
    {
        Rng rng = master.Fork(uint64_t(attempt) + 1);
        Rng hills = rng.Fork(1), homes = rng.Fork(2), woods = rng.Fork(3), grove = rng.Fork(4);
        World w;
        w.heights = GenerateHills(hills);
        const int wanted = homes.Int(11, 13);
        w.houses = PlaceHouses(homes, w.heights, wanted);
        if (int(w.houses.size()) < wanted)
        {
            last = {"only " + std::to_string(w.houses.size()) + " house sites found"};
            continue;
        }
        for (const Point& h : w.houses)
            FlattenForHouse(w.heights, h);
        const int spare =
            VERTEX_BUFFER_TRIANGLES - TriangleCount(int(model.size()), int(w.houses.size()), 0);
        const int trees = std::min(MOST_TREES, spare / 2) - woods.Int(0, 40);
        w.trees = PlaceTrees(woods, w.houses, PlaceGrove(grove, w.houses), trees);
        last = CheckWorld(w, model);
        if (LevelLikeTheGame(w.heights, w.houses) != w.heights)
            last.push_back("the game's levelling would change the terrain");
        if (last.empty())
            return w;
    }
    std::string msg = "no valid world for seed " + std::to_string(seed) + ":";
    for (const std::string& s : last)
        msg += "\n  " + s;
    throw std::runtime_error(msg);
}

void CheckArt(const std::vector<Asset>& art)
{
    for (const Asset& a : art)
    {
        if (a.loader == Loader::Picture)
            continue;
        for (const Rgb& p : a.image.pixels)
            if (IsNearWhite(p) || IsNearMagenta(p) || (a.loader == Loader::Texture && p == MAGENTA))
                throw std::runtime_error(a.file + " has a pixel that reads as a colour key");
        // The texture loader reads rows back to back: they must need no padding.
        if (a.loader == Loader::Texture && (a.image.width * 3) % 4 != 0)
            throw std::runtime_error(a.file + " rows would be padded");
    }
}

} // namespace

int main(int argc, char** argv)
{
    const Options opt = Parse(argc, argv);
    try
    {
        if (!opt.icon.empty())
        {
            WriteIcon(opt.icon);
            return 0;
        }
        const std::vector<Asset> art = MakeAllArt();
        CheckArt(art);
        if (!opt.sheet.empty())
        {
            WriteContactSheet(art, opt.sheet);
            return 0;
        }
        const std::vector<Quad> model = BuildHouseModel();
        const World w = Generate(opt.seed, model);

        MakeDir(opt.out);
        const std::string data = opt.out + "/Data/";
        MakeDir(data);
        WriteFile(data + "hmap.dat", Int32s(w.heights));
        std::vector<int32_t> map{int32_t(w.houses.size())};
        for (const Point& p : w.houses)
            map.insert(map.end(), {p.x, p.y});
        map.push_back(int32_t(w.trees.size()));
        for (const Point& p : w.trees)
            map.insert(map.end(), {p.x, p.y});
        WriteFile(data + "map.dat", Int32s(map));
        WriteFile(data + "HouseWl.mdl", EncodeModel(model));
        for (const Asset& a : art)
            WriteFile(data + a.file, EncodeBmp(a.image));
        // The desktop's own size: a sharp picture of the screen's shape, and no change of mode.
        const std::string ini = "MouseSensitivity=100\r\nXResolution=0\r\nYResolution=0\r\n";
        WriteFile(opt.out + "/GameSettings.ini", std::vector<uint8_t>(ini.begin(), ini.end()));
        std::printf("world %llu: %zu houses, %zu trees, %zu wall quads, %d of %d triangles\n",
                    (unsigned long long)opt.seed, w.houses.size(), w.trees.size(), model.size(),
                    TriangleCount(int(model.size()), int(w.houses.size()), int(w.trees.size())),
                    VERTEX_BUFFER_TRIANGLES);
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "gloamfield-worldgen: %s\n", e.what());
        return 1;
    }
}
