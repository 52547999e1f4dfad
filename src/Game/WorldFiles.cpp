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
    return ReadCount("houses", MAX_HOUSES);
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
