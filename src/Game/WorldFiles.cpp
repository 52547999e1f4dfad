#include "Game/WorldFiles.h"
#include "Tlib/TException.h"

#include <cmath>

const char* const HEIGHTMAP_PATH = "Data\\hmap.dat";
const char* const MAP_PATH = "Data\\map.dat";
const char* const WALL_MODEL_PATH = "Data\\HouseWl.mdl";

void RefuseWorldFile(const char* path, const char* what)
{
    throw _TFileException(2, TString("FILEERR_INVALID_DATA"), TString("%s: %s", path, what));
}

void ReadHeightMap(int32_t* heights)
{
    TFile file(TString("%s", HEIGHTMAP_PATH), 1, true);
    const uint32_t bytes = uint32_t(HEIGHTMAP_POINTS) * 4;
    uint32_t size = file.GetSize();
    if (size < bytes)
        RefuseWorldFile(HEIGHTMAP_PATH,
                        TString("%u bytes, %u needed", unsigned(size), unsigned(bytes)).text);
    file.Read(heights, bytes);
    if (file.eof)
        RefuseWorldFile(HEIGHTMAP_PATH, "the file could not be read to its end");
    for (int32_t k = 0; k < HEIGHTMAP_POINTS; k++)
        if (heights[k] > MAX_HEIGHT_VALUE || heights[k] < -MAX_HEIGHT_VALUE)
            RefuseWorldFile(HEIGHTMAP_PATH,
                            TString("height %d at (%d, %d) is beyond the %d the terrain can hold",
                                    int(heights[k]), int(k % HEIGHTMAP_SIZE),
                                    int(k / HEIGHTMAP_SIZE), int(MAX_HEIGHT_VALUE))
                                .text);
}

std::vector<int32_t> ReadWallModel()
{
    TFile file(TString("%s", WALL_MODEL_PATH), 1, true);
    uint32_t size = file.GetSize();
    if (size < uint32_t(QUAD_BYTES))
        RefuseWorldFile(
            WALL_MODEL_PATH,
            TString("%u bytes, not one whole %d-byte quad", unsigned(size), int(QUAD_BYTES)).text);
    if (size % uint32_t(QUAD_BYTES) != 0)
        RefuseWorldFile(WALL_MODEL_PATH, TString("%u bytes, not a whole number of %d-byte quads",
                                                 unsigned(size), int(QUAD_BYTES))
                                             .text);
    std::vector<int32_t> model(size / 4);
    file.Read(model.data(), size);
    if (file.eof)
        RefuseWorldFile(WALL_MODEL_PATH, "the file could not be read to its end");
    return model;
}

void CheckWallModel(const std::vector<int32_t>& model)
{
    // On the model's own whole-number corners, so that nothing done to place it (a house on
    // absurd ground, say) can make a good model look degenerate. Edges of any two corners
    // fit 33 bits, their products 66: exact in 128-bit integers.
    using Wide = __int128;
    auto flat = [](const int32_t* p, const int32_t* q, const int32_t* r)
    {
        Wide u[3] = {Wide(q[0]) - p[0], Wide(q[1]) - p[1], Wide(q[2]) - p[2]};
        Wide v[3] = {Wide(r[0]) - q[0], Wide(r[1]) - q[1], Wide(r[2]) - q[2]};
        return u[1] * v[2] - u[2] * v[1] == 0 && u[2] * v[0] - u[0] * v[2] == 0 &&
               u[0] * v[1] - u[1] * v[0] == 0;
    };
    for (size_t q = 0; q < model.size() / 12; q++)
    {
        const int32_t* a = &model[12 * q];
        const int32_t *b = a + 3, *c = a + 6, *d = a + 9;
        if (flat(a, b, c) || flat(b, d, c))
            RefuseWorldFile(WALL_MODEL_PATH, TString("quad %d is degenerate", int(q)).text);
    }
}

MapFile::MapFile() : file(TString("%s", MAP_PATH), 1, true), left(file.GetSize()) {}

int32_t MapFile::ReadCount(const char* things, int32_t most)
{
    if (left < 4)
        RefuseWorldFile(MAP_PATH, TString("the file ends before the %s count", things).text);
    int32_t count = file.ReadInt();
    left -= 4;
    if (count < 0)
        RefuseWorldFile(MAP_PATH,
                        TString("%d %s, a count cannot be negative", int(count), things).text);
    if (count > most)
        RefuseWorldFile(MAP_PATH, TString("%d %s, at most %d", int(count), things, int(most)).text);
    if (uint64_t(count) * 8 > left)
        RefuseWorldFile(MAP_PATH, TString("%d %s, but the file ends after %u", int(count), things,
                                          unsigned(left / 8))
                                      .text);
    return count;
}

int32_t MapFile::ReadHouseCount()
{
    int32_t houses = ReadCount("houses", MAX_HOUSES);
    // The tree count stands after the houses, so the two counts say how long the file is. A
    // count off by one would otherwise read a tree as a house and load a wrong world.
    uint32_t size = file.GetSize();
    uint32_t treeCountAt = 4 + 8 * uint32_t(houses);
    if (size >= treeCountAt + 4)
    {
        file.Seek(int32_t(treeCountAt), FILE_BEGIN);
        int32_t trees = file.ReadInt();
        file.Seek(4, FILE_BEGIN);
        uint64_t needed = uint64_t(treeCountAt) + 4 + 8 * uint64_t(uint32_t(trees));
        // A tree count the file cannot hold is reported when the trees are read.
        if (trees >= 0 && needed <= size && needed != size)
            RefuseWorldFile(MAP_PATH, TString("%u bytes, but %d houses and %d trees make %llu",
                                              unsigned(size), int(houses), int(trees),
                                              (unsigned long long)needed)
                                          .text);
    }
    return houses;
}

int32_t MapFile::ReadTreeCount()
{
    return ReadCount("trees", INT32_MAX);
}

void MapFile::ReadPoint(int32_t& x, int32_t& y)
{
    x = file.ReadInt();
    y = file.ReadInt();
    left -= 8;
}

M3DVector PlaceHouse(CGame& game, int32_t index, int32_t x, int32_t y)
{
    double x0 = x - house::REFERENCE_X;
    double y0 = y - house::REFERENCE_Y;
    int32_t gx = int32_t(x0 / CELL_SIZE);
    int32_t gy = int32_t(y0 / CELL_SIZE);
    // The levelled area (9 x 13 grid points) and the footprint must lie on the heightmap.
    if (x < 0 || y < 0 || x >= WORLD_LIMIT || y >= WORLD_LIMIT || x0 < 0.0 || y0 < 0.0 || gx < 0 ||
        gy < 0 || gx + 8 > HEIGHTMAP_SIZE - 1 || gy + 12 > HEIGHTMAP_SIZE - 1)
        RefuseWorldFile(MAP_PATH, TString("house %d at (%d, %d) does not fit on the terrain",
                                          int(index), int(x), int(y))
                                      .text);

    double ground = game.TerrainHeight(x, y);
    int32_t level = int32_t(ground * HEIGHT_STEPS_PER_UNIT);
    for (int32_t j = gy; j <= gy + 12; j++)
        for (int32_t i = gx; i <= gx + 8; i++)
            game.heightMap[j * HEIGHTMAP_SIZE + i] = level;
    return M3DVector(x0, y0, ground);
}

void CheckTree(int32_t index, int32_t x, int32_t y)
{
    if (x < 0 || y < 0 || x >= WORLD_LIMIT || y >= WORLD_LIMIT)
        RefuseWorldFile(MAP_PATH, TString("tree %d at (%d, %d) lies outside the terrain",
                                          int(index), int(x), int(y))
                                      .text);
}

double CGame::TerrainHeight(double x, double y)
{
    double fx = x / CELL_SIZE;
    double fy = y / CELL_SIZE;
    // A point off the terrain reads its edge rather than memory beyond the heightmap.
    if (!(fx >= 0.0))
        fx = 0.0;
    if (!(fy >= 0.0))
        fy = 0.0;
    if (fx >= 128.0)
        fx = 127.0;
    if (fy >= 128.0)
        fy = 127.0;

    int32_t i = int32_t(std::floor(fx));
    int32_t j = int32_t(std::floor(fy));
    double u = fx - i;
    double v = fy - j;
    int32_t k = j * HEIGHTMAP_SIZE + i;
    const int32_t* h = heightMap;

    if (i == 127 && j == 127)
        return h[HEIGHTMAP_POINTS - 1] / HEIGHT_STEPS_PER_UNIT;
    // The last column and row have no neighbour beyond them: exact heights, one fraction.
    if (i == 127)
        return (h[k] + (double(h[k + 128]) - h[k]) * v) / HEIGHT_STEPS_PER_UNIT;
    if (j == 127)
        return (h[k] + (double(h[k + 1]) - h[k]) * u) / HEIGHT_STEPS_PER_UNIT;

    // Inside, the corners are whole units, so the ground may sit up to a unit below the
    // drawn surface.
    double a = std::trunc(h[k] / HEIGHT_STEPS_PER_UNIT);
    double b = std::trunc(h[k + 1] / HEIGHT_STEPS_PER_UNIT);
    double c = std::trunc(h[k + 128] / HEIGHT_STEPS_PER_UNIT);
    double d = std::trunc(h[k + 129] / HEIGHT_STEPS_PER_UNIT);
    double left = a + (c - a) * v;
    double right = b + (d - b) * v;
    return left + (right - left) * u;
}
