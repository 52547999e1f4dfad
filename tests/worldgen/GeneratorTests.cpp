// The generator's worlds loaded by the game itself, and what the generator promises beyond
// the checks of the game's loader: fair ground, a shelter near the start, trees clear of
// the houses, wood for the first day within reach, walls as the house plan has them and
// clean pictures.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Settings/Settings.h"
#include "house_model.h"
#include "image.h"
#include "port/MemoryDevice.h"
#include "support/HeadlessGame.h"
#include "world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace
{
// The shipped world and five others.
const char* const SEEDS[] = {"", "--seed 1", "--seed 2", "--seed 77", "--seed 9001", "--seed 4242"};

int Generate(const std::string& arguments)
{
    return std::system((std::string(WORLDGEN_EXE) + " " + arguments + " >/dev/null 2>&1").c_str());
}

// A headless game whose directory the generator fills; the game then loads that world and
// starts on it as the program does.
struct Generated : testgame::HeadlessGame
{
    explicit Generated(const std::string& seed)
    {
        EXPECT_EQ(Generate(seed + " --out " + Directory().Path()), 0);
        delete game;
        game = new CGame();
        game->LoadWorld();
        game->Reset();
    }
};

// The wall model as the game placed it at the first house, in units from its corner.
struct Quad
{
    double lo[3], hi[3]; // the corners' extent
    float normal[3];
};

std::vector<Quad> Walls(const testgame::HeadlessGame& headless)
{
    const CGame& g = headless.Game();
    const auto* v = reinterpret_cast<const DXVertexTL*>(
        headless.Memory()->VertexBuffers().at(0)->bytes.data() + size_t(g.terrainTriangles) * 96);
    std::vector<Quad> quads(size_t(g.wallTriangles / g.houseCount / 2));
    const double corner[3] = {g.houses[0].x, g.houses[0].y, g.houses[0].z};
    for (size_t q = 0; q < quads.size(); q++, v += 6)
        for (int a = 0; a < 3; a++)
        {
            const float c[4] = {(&v[0].x)[a], (&v[1].x)[a], (&v[2].x)[a], (&v[4].x)[a]}; // ABCD
            quads[q].lo[a] = std::min({c[0], c[1], c[2], c[3]}) - corner[a];
            quads[q].hi[a] = std::max({c[0], c[1], c[2], c[3]}) - corner[a];
            quads[q].normal[a] = (&v[0].nx)[a];
        }
    return quads;
}

bool In(const house::Rect& r, const double p[2])
{
    return p[0] > r.x0 && p[0] < r.x1 && p[1] > r.y0 && p[1] < r.y1;
}

// Whether a point lies in a window's opening: from the ground for the two the player
// passes (windows 0 and 1), from the sill to the lintel for the others.
bool Open(const double p[3])
{
    for (int32_t w = 0; w < house::WINDOWS; w++)
        if (In(house::WINDOW[w].opening, p) && p[2] > (w < 2 ? 0 : 0.5 * worldgen::SILL_TOP) &&
            p[2] < 0.5 * (w < 2 ? worldgen::DOOR_TOP : worldgen::WINDOW_TOP))
            return true;
    return false;
}
} // namespace

TEST(Generator, OneSeedOneWorldAndArgumentsItDoesNotKnowAreRefused)
{
    TempDir dir;
    ASSERT_EQ(Generate("--seed 4242 --out a"), 0);
    ASSERT_EQ(Generate("--out b --seed 4242"), 0);
    ASSERT_EQ(Generate("--seed 4243 --out c"), 0);
    EXPECT_EQ(std::system("diff -r a b >/dev/null"), 0);
    // Data, the settings, three world files and every image.
    EXPECT_EQ(std::distance(std::filesystem::recursive_directory_iterator("a"), {}),
              5 + image::COUNT);
    for (const std::string world : {"/Data/hmap.dat", "/Data/map.dat"})
        EXPECT_NE(worldgen::ReadFile("a" + world), worldgen::ReadFile("c" + world));
    const std::vector<uint8_t> ini = worldgen::ReadFile("a/GameSettings.ini");
    EXPECT_EQ(std::string(ini.begin(), ini.end()),
              "MouseSensitivity=100\r\nXResolution=0\r\nYResolution=0\r\n");

    for (const char* bad : {"--seed twelve", "--colour blue", "--out", "--out /proc/none/x"})
        EXPECT_NE(Generate(bad), 0) << bad;
}

TEST(Generator, EverySeedGivesAWorldTheGameLoadsAndThatIsFairToPlay)
{
    using namespace worldgen;
    for (const char* seed : SEEDS)
    {
        SCOPED_TRACE(seed);
        Generated world(seed);
        const CGame& g = world.Game();

        // Ground within range that the game's levelling leaves as it is.
        const std::vector<uint8_t> file = ReadFile(world.Directory().Path() + "/Data/hmap.dat");
        ASSERT_EQ(file.size(), size_t(4 * HEIGHTMAP_POINTS));
        EXPECT_EQ(std::memcmp(file.data(), g.heightMap, file.size()), 0);
        const int32_t* h = g.heightMap;
        EXPECT_GE(*std::min_element(h, h + HEIGHTMAP_POINTS), 0);
        EXPECT_LE(*std::max_element(h, h + HEIGHTMAP_POINTS), HIGHEST_GROUND_VALUE);

        // A shelter within reach of the start.
        EXPECT_TRUE(g.houseCount >= FEWEST_HOUSES && g.houseCount <= MOST_HOUSES);
        double nearest = 1e9;
        for (int32_t k = 0; k < g.houseCount; k++)
            nearest = std::min(nearest, std::hypot(g.houses[k].x + house::REFERENCE_X - START_X,
                                                   g.houses[k].y + house::REFERENCE_Y - START_Y));
        EXPECT_LE(nearest, NEAR_START);

        // No tree on the start, against a house (its reach of 4 and room to pass) or where
        // the night's zombies appear: 42 to 59 out from a window's entry point, up to 45
        // degrees off its facing in half degrees.
        EXPECT_TRUE(g.treeCount >= FEWEST_TREES && g.treeCount <= MOST_TREES);
        int32_t crowded = 0;
        for (int32_t t = 0; t < g.treeCount; t++)
        {
            crowded +=
                std::hypot(g.trees[t].x - START_X, g.trees[t].y - START_Y) < TREE_START_CLEAR;
            for (int32_t k = 0; k < g.houseCount; k++)
            {
                const double x = g.trees[t].x - g.houses[k].x, y = g.trees[t].y - g.houses[k].y;
                crowded += x > -6 && x < house::WIDTH + 6 && y > -6 && y < house::DEPTH + 6;
                for (const house::Window& w : house::WINDOW)
                    for (int32_t a = -90; a <= 90 && std::hypot(x - w.entry.x, y - w.entry.y) < 65;
                         a++)
                        for (int32_t d = 42; d <= 59; d++)
                        {
                            const double angle = w.outwardAngle + a * PI / 360.0;
                            crowded += std::hypot(x - w.entry.x - d * std::cos(angle),
                                                  y - w.entry.y - d * std::sin(angle)) <= 5.0;
                        }
            }
        }
        EXPECT_EQ(crowded, 0);
    }
}

// The first day as a player who goes straight for the wood plays it: out from the start to
// each tree within 60, nearest first, and back; then to the nearest house, in through its
// front doorway, and a board nailed there for every piece of wood, all before 18:00.
TEST(Generator, TheTreesNearTheStartBoardTheNearestDoorwayOnTheFirstDay)
{
    for (const char* seed : SEEDS)
    {
        SCOPED_TRACE(seed);
        Generated world(seed);
        CGame& g = world.Game();
        // Turns to (x, y) with the mouse and walks to within `near` of it; false if a step fails.
        auto walkTo = [&](double x, double y, double near)
        {
            const double turn = std::atan2(y - g.posY, x - g.posX) - g.yaw;
            world.Update(16, {{}, int32_t(std::lround(turn * 35000 / MouseSensitivity))});
            for (double d = std::hypot(x - g.posX, y - g.posY); d > near + 1;)
            {
                world.Update(16, {{DIK_W}});
                if (std::hypot(x - g.posX, y - g.posY) >= d)
                    return false;
                d = std::hypot(x - g.posX, y - g.posY);
            }
            return true;
        };
        auto fromStart = [](double x, double y) { return std::hypot(x - START_X, y - START_Y); };
        std::vector<std::pair<double, int32_t>> near; // distance and tree
        for (int32_t t = 0; t < g.treeCount; t++)
            if (fromStart(g.trees[t].x, g.trees[t].y) <= 60)
                near.push_back({fromStart(g.trees[t].x, g.trees[t].y), t});
        std::sort(near.begin(), near.end());
        EXPECT_GE(near.size(), 5u);
        for (const auto& [distance, t] : near)
        {
            ASSERT_TRUE(walkTo(g.trees[t].x, g.trees[t].y, 4.0)) << "to tree " << t;
            for (int32_t swing = 0; swing < 3 && g.trees[t].x < WORLD_LIMIT; swing++)
            {
                world.Update(16, {{}, 0, 0, true});
                world.Update(250);
            }
            ASSERT_TRUE(walkTo(START_X, START_Y, 0.0)) << "back from tree " << t;
        }

        int32_t h = 0; // the nearest house, by its reference point as the map gives it
        auto houseAway = [&](int32_t k) {
            return fromStart(g.houses[k].x + house::REFERENCE_X,
                             g.houses[k].y + house::REFERENCE_Y);
        };
        for (int32_t k = 0; k < g.houseCount; k++)
            h = houseAway(k) < houseAway(h) ? k : h;
        const house::Window& door = house::WINDOW[0];
        const house::Rect& zone = door.standingZone;
        ASSERT_TRUE(walkTo(g.houses[h].x + door.entry.x + 12 * std::cos(door.outwardAngle),
                           g.houses[h].y + door.entry.y + 12 * std::sin(door.outwardAngle), 0.0));
        ASSERT_TRUE(walkTo(g.houses[h].x + (zone.x0 + zone.x1) / 2,
                           g.houses[h].y + (zone.y0 + zone.y1) / 2, 0.0));
        for (int32_t press = 0, wood = g.wood; press < wood; press++)
        {
            world.Update(16, {{}, 0, 0, false, true});
            world.Update(16);
        }
        EXPECT_EQ(g.boards[h][0], int32_t(near.size()));
        EXPECT_TRUE(gameState == GAME_PLAYING && g.phase == PHASE_DAY && g.hour < 18) << g.hour;
    }
}

TEST(Generator, TheShippedWorldsWallsMatchThePlanAndItsPicturesAreClean)
{
    Generated world("");
    // Every side of every wall of the plan, on a quarter-unit grid and seen from outside the
    // walls: a face of the model looking out, and none where it lies in an opening.
    const std::vector<Quad> walls = Walls(world);
    const house::Rect slabs[] = {house::FRONT_WALL, house::LEFT_WALL, house::BACK_WALL,
                                 house::RIGHT_WALL, house::PARTITION};
    const double top = 0.5 * worldgen::WALL_TOP;
    int32_t wrong = 0;
    for (const house::Rect& r : slabs)
        for (int a = 0; a < 2; a++) // faces across x (a = 0), across y
            for (int sign = -1; sign <= 1; sign += 2)
            {
                const double at = a ? (sign > 0 ? r.y1 : r.y0) : (sign > 0 ? r.x1 : r.x0);
                for (double s = (a ? r.x0 : r.y0) + 0.125; s < (a ? r.x1 : r.y1); s += 0.25)
                    for (double z = 0.125; z < top; z += 0.25)
                    {
                        double out[3] = {s, s, z}, in[3] = {s, s, z};
                        out[a] = at + 0.1 * sign;
                        in[a] = at - 0.1 * sign;
                        const bool hidden =
                            std::any_of(std::begin(slabs), std::end(slabs),
                                        [&](const house::Rect& o) { return In(o, out); });
                        const bool covered =
                            std::any_of(walls.begin(), walls.end(),
                                        [&](const Quad& q)
                                        {
                                            return q.lo[a] == at && q.hi[a] == at &&
                                                   q.normal[a] * sign > 0 && q.lo[1 - a] < s &&
                                                   q.hi[1 - a] > s && q.lo[2] < z && q.hi[2] > z;
                                        });
                        wrong += !hidden && covered == Open(in);
                    }
            }
    EXPECT_EQ(wrong, 0);

    // Every picture at its size (the loaders refuse any other), without fringes near the keys;
    // the game-over pictures full and distinct.
    std::vector<uint32_t> gameOver[2];
    // Each picture's first and last rows and first column with opaque texels.
    std::vector<int32_t> inkTop(image::COUNT, 9999), inkBottom(image::COUNT, -1), inkLeft = inkTop;
    for (const image::File& file : image::FILES)
    {
        SCOPED_TRACE(file.name);
        const bool texture = file.loader == image::Loader::Texture;
        CGame& g = world.Game();
        std::unique_ptr<DXTexture> t(texture ? g.LoadTexture(file.name, file.width, file.height)
                                             : nullptr);
        std::unique_ptr<DXOverlay> o(texture ? nullptr
                                             : g.LoadOverlay(file.name, file.width, file.height));
        const port::MemoryTexture* m =
            world.Memory()->FindTexture(t ? t->texture : o->texture->texture);
        const int32_t size = file.width * file.height, id = int32_t(&file - image::FILES);
        int32_t opaque = 0, fringe = 0;
        for (int32_t i = 0; i < size; i++)
        {
            const uint32_t c = m->Texel(UINT(i % file.width), UINT(i / file.width));
            const worldgen::Rgb rgb{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
            opaque += c >> 24 == 0xFF;
            fringe += id > image::GAME_OVER_KILLED && c >> 24 == 0xFF &&
                      (worldgen::IsNearWhite(rgb) || worldgen::IsNearMagenta(rgb) ||
                       rgb == worldgen::MAGENTA);
            // The zombie's quad shows only the top-left 60 x 155 texels.
            fringe += id == image::ZOMBIE && c >> 24 && (i % 64 >= 60 || i / 64 >= 155);
            if (id <= image::GAME_OVER_KILLED)
                gameOver[id].push_back(c);
            if (c >> 24 == 0xFF)
                inkTop[id] = std::min(inkTop[id], i / file.width),
                inkBottom[id] = std::max(inkBottom[id], i / file.width),
                inkLeft[id] = std::min(inkLeft[id], i % file.width);
        }
        // The game-over pictures are drawn opaque, where white shows white and magenta grey.
        EXPECT_GT(opaque, id <= image::GAME_OVER_KILLED ? size * 99 / 100 : size / 20);
        // The ground, the walls and the boards have no see-through holes.
        EXPECT_EQ(opaque,
                  id == image::GRASS || id == image::WALL || id == image::BOARD ? size : opaque);
        EXPECT_EQ(fringe, 0);
    }
    // Drawn from one top edge, the digits' ink spans the same rows within one, and the colon
    // stands on their baseline: any number reads level.
    const auto tops = std::minmax_element(&inkTop[image::DIGITS], &inkTop[image::COLON]);
    const auto bottoms =
        std::minmax_element(&inkBottom[image::DIGITS], &inkBottom[image::COLON + 1]);
    EXPECT_LE(*tops.second - *tops.first, 1);
    EXPECT_LE(*bottoms.second - *bottoms.first, 1);
    // The axe stays inside its pictures; only the sleeve runs off their right and bottom edges.
    for (const int32_t axe : {image::AXE_IDLE, image::AXE_SWING})
        EXPECT_TRUE(inkLeft[axe] > 0 && inkTop[axe] > 0) << inkLeft[axe] << "," << inkTop[axe];
    size_t same = 0;
    for (size_t i = 0; i < gameOver[0].size(); i++)
        same += gameOver[0][i] == gameOver[1][i];
    EXPECT_LT(same, gameOver[0].size() / 4);
}
