// LoadWorld: the projection, the three world files, every static triangle of the vertex
// buffer with its normals, the images, the zombie records and the daylight.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/Images.h"
#include "Game/Lighting.h"
#include "Game/WorldFiles.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"

#include <vector>

namespace
{
const int32_t CELLS = HEIGHTMAP_SIZE - 1; // 127 cells a side
const double TREE_HEIGHT = 11.0;
// The zombie picture fills 60 x 155 texels of its 64 x 256 texture.
const float ZOMBIE_U_MAX = 0.9375f;
const float ZOMBIE_V_MAX = 0.60546875f;

M3DVector Position(const DXVertexTL& v)
{
    return M3DVector(v.x, v.y, v.z);
}

void SetPosition(DXVertexTL& v, const M3DVector& p)
{
    v.x = float(p.x);
    v.y = float(p.y);
    v.z = float(p.z);
}

void SetNormal(DXVertexTL& v, const M3DVector& n)
{
    v.nx = float(n.x);
    v.ny = float(n.y);
    v.nz = float(n.z);
}

void SetUV(DXVertexTL& v, float u, float t)
{
    v.u = u;
    v.v = t;
}

// Texture coordinates of a quad's two triangles, (A, B, C) and (B, D, C).
void SetQuadUV(DXVertexTL* first, DXVertexTL* second)
{
    SetUV(first[0], 0, 0);
    SetUV(first[1], 1, 0);
    SetUV(first[2], 0, 1);
    SetUV(second[0], 1, 0);
    SetUV(second[1], 1, 1);
    SetUV(second[2], 0, 1);
}

M3DVector FaceNormalUnscaled(const DXVertexTL* tri)
{
    M3DVector p0 = Position(tri[0]), p1 = Position(tri[1]), p2 = Position(tri[2]);
    return Cross(p1 - p0, p2 - p1);
}

// Refuses a world whose triangles would not fit the vertex buffer before any is written.
void CheckCapacity(int64_t triangles, const char* path)
{
    if (triangles > device->triangleCapacity)
        RefuseWorldFile(path, TString("the world needs %lld triangles, the vertex buffer holds %d",
                                      (long long)triangles, int(device->triangleCapacity))
                                  .text);
}

DXTexture* LoadListedTexture(CGame& game, image::Id id)
{
    const image::File& file = image::FILES[id];
    return game.LoadTexture(file.name, file.width, file.height);
}

DXOverlay* LoadListedOverlay(CGame& game, image::Id id)
{
    const image::File& file = image::FILES[id];
    return game.LoadOverlay(file.name, file.width, file.height);
}
} // namespace

void CGame::LoadWorld()
{
    terrainTriangles = TERRAIN_TRIANGLES;
    grassTexture = LoadListedTexture(*this, image::GRASS);
    SetProjection();

    heightMap = new int32_t[HEIGHTMAP_POINTS];
    ReadHeightMap(heightMap);

    // One lock for the whole load.
    device->Lock(0, 0);
    MapFile map;
    PlaceHouses(map);
    PlaceTrees(map);
    LightWalls();
    wallTexture = LoadListedTexture(*this, image::WALL);
    treeTexture = LoadListedTexture(*this, image::TREE);
    BuildTerrain();
    PrepareZombieBillboards();
    vbTriangleCount = terrainTriangles + wallTriangles + treeTriangles + zombieTriangles;
    device->Unlock();

    LoadImages();
    // Zeroed records: nothing reads one before nightfall places it, but none holds garbage.
    zombies = new Zombie[MAX_ZOMBIES]();
    SwitchOnLight(DAYLIGHT);
}

void CGame::SetProjection()
{
    // Perspective with view-space x as depth, y to screen x and z to screen y; near 2, far
    // 1024. A 4:3 screen sees 53 degrees across and 41 up; a wider one sees as far up and
    // further across, a narrower one as far across and further up.
    const double zn = 2.0, zf = 1024.0;
    const double q = 1.0 / (1.0 / zn - 1.0 / zf);
    const double width = device->presentParams.BackBufferWidth;
    const double height = device->presentParams.BackBufferHeight;
    double across = 2.0, up = 8.0 / 3.0;
    if (3.0 * width > 4.0 * height)
        across = 8.0 * height / (3.0 * width);
    else if (3.0 * width < 4.0 * height)
        up = 2.0 * width / height;
    for (float& entry : projection)
        entry = 0.0f;
    projection[0 * 4 + 2] = float(q / zn);
    projection[0 * 4 + 3] = 1.0f;
    projection[1 * 4 + 0] = float(across);
    projection[2 * 4 + 1] = float(up);
    projection[3 * 4 + 2] = float(-q);
    device->device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(projection));
}

void CGame::PlaceHouses(MapFile& map)
{
    int32_t count = map.ReadHouseCount();
    houses = new M3DVector[count];
    houseCount = count;

    const std::vector<int32_t> model = ReadWallModel();
    const int32_t quads = int32_t(model.size() / 12);
    CheckCapacity(int64_t(terrainTriangles) + 2LL * quads * houseCount + 2LL * MAX_ZOMBIES,
                  WALL_MODEL_PATH);
    CheckWallModel(model);

    // The same model stands at every house, unrotated, in steps of half a unit.
    int32_t t = terrainTriangles;
    for (int32_t k = 0; k < houseCount; k++)
    {
        int32_t x, y;
        map.ReadPoint(x, y);
        houses[k] = PlaceHouse(*this, k, x, y);
        const M3DVector& corner = houses[k];
        for (int32_t q = 0; q < quads; q++)
        {
            const int32_t* values = &model[size_t(12 * q)];
            M3DVector p[4];
            for (int32_t c = 0; c < 4; c++)
                p[c] = M3DVector(corner.x + 0.5 * values[3 * c], corner.y + 0.5 * values[3 * c + 1],
                                 corner.z + 0.5 * values[3 * c + 2]);
            DXVertexTL* first = device->GetVBTri(t);
            DXVertexTL* second = device->GetVBTri(t + 1);
            SetPosition(first[0], p[0]);
            SetPosition(first[1], p[1]);
            SetPosition(first[2], p[2]);
            SetPosition(second[0], p[1]);
            SetPosition(second[1], p[3]);
            SetPosition(second[2], p[2]);
            SetQuadUV(first, second);
            t += 2;
        }
    }
    wallTriangles = 2 * quads * houseCount;
}

void CGame::PlaceTrees(MapFile& map)
{
    int32_t t = terrainTriangles + wallTriangles;
    int32_t count = map.ReadTreeCount();
    CheckCapacity(int64_t(t) + 2LL * count + 2LL * MAX_ZOMBIES, MAP_PATH);
    trees = new M3DVector[count];
    treeCount = count;
    for (int32_t n = 0; n < treeCount; n++)
    {
        int32_t x, y;
        map.ReadPoint(x, y);
        CheckTree(n, x, y);
        double ground = TerrainHeight(x, y);
        trees[n] = M3DVector(x, y, ground);
        // Only heights, texture coordinates and the flat normal: the renderer turns the
        // billboard to the camera every frame.
        const float top = float(ground + TREE_HEIGHT), foot = float(ground);
        DXVertexTL* a = device->GetVBTri(t);
        DXVertexTL* b = device->GetVBTri(t + 1);
        a[0].z = top;
        a[1].z = top;
        a[2].z = foot;
        b[0].z = top;
        b[1].z = foot;
        b[2].z = foot;
        SetQuadUV(a, b);
        for (int32_t v = 0; v < 3; v++)
            a[v].nz = b[v].nz = 0.0f;
        t += 2;
    }
    treeTriangles = 2 * treeCount;
}

void CGame::LightWalls()
{
    // Each wall face is lit flat; the model was checked to have no flat triangle.
    for (int32_t i = terrainTriangles; i < terrainTriangles + wallTriangles; i++)
    {
        DXVertexTL* tri = device->GetVBTri(i);
        M3DVector n = Normalise(FaceNormalUnscaled(tri));
        for (int32_t v = 0; v < 3; v++)
            SetNormal(tri[v], n);
    }
}

void CGame::BuildTerrain()
{
    // The exact levelled heights, two triangles a cell.
    auto point = [this](int32_t a, int32_t b)
    {
        return M3DVector(CELL_SIZE * a, CELL_SIZE * b,
                         heightMap[HEIGHTMAP_SIZE * b + a] / HEIGHT_STEPS_PER_UNIT);
    };
    for (int32_t j = 0; j < CELLS; j++)
        for (int32_t i = 0; i < CELLS; i++)
        {
            DXVertexTL* first = device->GetVBTri(2 * (CELLS * j + i));
            SetPosition(first[0], point(i, j));
            SetPosition(first[1], point(i + 1, j));
            SetPosition(first[2], point(i, j + 1));
            DXVertexTL* second = device->GetVBTri(2 * (CELLS * j + i) + 1);
            SetPosition(second[0], point(i + 1, j));
            SetPosition(second[1], point(i + 1, j + 1));
            SetPosition(second[2], point(i, j + 1));
            // The grass once over every cell.
            SetQuadUV(first, second);
        }

    std::vector<M3DVector> faceNormals(static_cast<size_t>(terrainTriangles));
    for (int32_t i = 0; i < terrainTriangles; i++)
        faceNormals[size_t(i)] = Normalise(FaceNormalUnscaled(device->GetVBTri(i)));

    // Smooth shading: each grid point takes the normals of the cells round it that exist.
    auto exists = [](int32_t i, int32_t j) { return i >= 0 && j >= 0 && i < CELLS && j < CELLS; };
    auto firstOf = [](int32_t i, int32_t j) { return 2 * (CELLS * j + i); };
    for (int32_t j = 0; j < HEIGHTMAP_SIZE; j++)
        for (int32_t i = 0; i < HEIGHTMAP_SIZE; i++)
        {
            M3DVector sum(0.0, 0.0, 0.0);
            if (exists(i - 1, j - 1))
                sum += faceNormals[size_t(firstOf(i - 1, j - 1) + 1)];
            if (exists(i, j - 1))
                sum += faceNormals[size_t(firstOf(i, j - 1))];
            if (exists(i - 1, j))
                sum += faceNormals[size_t(firstOf(i - 1, j))];
            if (exists(i, j))
                sum += faceNormals[size_t(firstOf(i, j))];
            M3DVector n = Normalise(sum);

            if (exists(i - 1, j - 1))
                SetNormal(device->GetVBTri(firstOf(i - 1, j - 1) + 1)[1], n);
            if (exists(i, j - 1))
            {
                SetNormal(device->GetVBTri(firstOf(i, j - 1))[2], n);
                SetNormal(device->GetVBTri(firstOf(i, j - 1) + 1)[2], n);
            }
            if (exists(i - 1, j))
            {
                SetNormal(device->GetVBTri(firstOf(i - 1, j))[1], n);
                SetNormal(device->GetVBTri(firstOf(i - 1, j) + 1)[0], n);
            }
            if (exists(i, j))
                SetNormal(device->GetVBTri(firstOf(i, j))[0], n);
        }
}

void CGame::PrepareZombieBillboards()
{
    // Texture coordinates and the flat normal; nightfall writes the heights, every night
    // frame the rest.
    zombieTriangles = ZOMBIE_TRIANGLES;
    for (int32_t z = 0; z < MAX_ZOMBIES; z++)
    {
        int32_t first = terrainTriangles + wallTriangles + treeTriangles + 2 * z;
        DXVertexTL* a = device->GetVBTri(first);
        SetUV(a[0], 0, 0);
        SetUV(a[1], ZOMBIE_U_MAX, 0);
        SetUV(a[2], 0, ZOMBIE_V_MAX);
        DXVertexTL* b = device->GetVBTri(first + 1);
        SetUV(b[0], ZOMBIE_U_MAX, 0);
        SetUV(b[1], ZOMBIE_U_MAX, ZOMBIE_V_MAX);
        SetUV(b[2], 0, ZOMBIE_V_MAX);
        for (int32_t v = 0; v < 3; v++)
            a[v].nz = b[v].nz = 0.0f;
    }
}

void CGame::LoadImages()
{
    axeIdleImage = LoadListedOverlay(*this, image::AXE_IDLE);
    axeSwingImage = LoadListedOverlay(*this, image::AXE_SWING);
    digitImages = new DXOverlay*[image::GLYPHS]();
    for (int32_t d = 0; d < image::GLYPHS; d++)
        digitImages[d] = LoadListedOverlay(*this, image::Id(image::DIGITS + d));
    woodIconImage = LoadListedOverlay(*this, image::WOOD_ICON);
    clockIconImage = LoadListedOverlay(*this, image::CLOCK_ICON);
    nightfallImage = LoadListedOverlay(*this, image::NIGHTFALL);
    daybreakImage = LoadListedOverlay(*this, image::DAYBREAK);
    boardTexture = LoadListedTexture(*this, image::BOARD);
    zombieTexture = LoadListedTexture(*this, image::ZOMBIE);
    boardPanelImage = LoadListedOverlay(*this, image::BOARD_PANEL);
    boardPromptImage = LoadListedOverlay(*this, image::BOARD_PROMPT);
}

void CGame::SwitchOnLight(const Lighting& lighting)
{
    D3DLIGHT9 light = LightOf(lighting);
    device->device->SetLight(0, &light);
    device->device->LightEnable(0, TRUE);
    device->device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->device->SetRenderState(D3DRS_AMBIENT, lighting.ambient);
}

void CGame::RestoreDeviceState()
{
    // A window of another size may have another shape.
    SetProjection();
    SwitchOnLight(IsNight() ? NIGHT_LIGHT : DAYLIGHT);
}
