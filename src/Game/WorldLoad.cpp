// LoadWorld: the projection, the three world files, every static triangle of the vertex
// buffer with its normals, the images, the zombie records and the daylight.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Game/WorldFiles.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"

#include <cstring>
#include <vector>

namespace
{
const int32_t cells = HEIGHTMAP_SIZE - 1; // 127 cells a side
const int32_t terrainTriangleCount = 2 * cells * cells;

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

struct ImageEntry
{
    const char* fileName;
    int32_t width, height;
};
} // namespace

void CGame::LoadWorld()
{
    terrainTriangles = terrainTriangleCount;
    grassTexture = LoadTexture("Grass.bmp", 128, 128);

    // Perspective with view-space x as depth, y to screen x and z to screen y; near 2, far
    // 1024, a 4:3 screen.
    const double zn = 2.0, zf = 1024.0;
    const double q = 1.0 / (1.0 / zn - 1.0 / zf);
    for (float& entry : projection)
        entry = 0.0f;
    projection[0 * 4 + 2] = float(q / zn);
    projection[0 * 4 + 3] = 1.0f;
    projection[1 * 4 + 0] = 2.0f;
    projection[2 * 4 + 1] = float(8.0 / 3.0);
    projection[3 * 4 + 2] = float(-q);
    D3DMATRIX matrix;
    std::memcpy(&matrix, projection, sizeof projection);
    device->device->SetTransform(D3DTS_PROJECTION, &matrix);

    heightMap = new int32_t[HEIGHTMAP_POINTS];
    ReadHeightMap(heightMap);

    // One lock for the whole load.
    device->Lock(0, 0);

    MapFile map;
    int32_t count = map.ReadHouseCount();
    houses = new M3DVector[count];
    houseCount = count;

    TFile model(TString("%s", wallModelPath), 1, true);
    const int32_t quads = int32_t(model.GetSize() / QUAD_BYTES);
    CheckCapacity(int64_t(terrainTriangles) + 2LL * quads * houseCount + 2LL * MAX_ZOMBIES,
                  wallModelPath);

    int32_t t = terrainTriangles;
    for (int32_t k = 0; k < houseCount; k++)
    {
        model.Seek(0, FILE_BEGIN);
        int32_t x, y;
        map.ReadPoint(x, y);
        houses[k] = PlaceHouse(*this, k, x, y);
        const M3DVector& corner = houses[k];
        for (int32_t q = 0; q < quads; q++)
        {
            int32_t values[12];
            model.Read(values, sizeof values);
            M3DVector p[4];
            for (int32_t c = 0; c < 4; c++)
                p[c] = M3DVector(corner.x + 0.5 * values[3 * c], corner.y + 0.5 * values[3 * c + 1],
                                 corner.z + 0.5 * values[3 * c + 2]);
            DXVertexTL* first = device->GetVBTri(t);
            SetPosition(first[0], p[0]);
            SetUV(first[0], 0, 0);
            SetPosition(first[1], p[1]);
            SetUV(first[1], 1, 0);
            SetPosition(first[2], p[2]);
            SetUV(first[2], 0, 1);
            DXVertexTL* second = device->GetVBTri(t + 1);
            SetPosition(second[0], p[1]);
            SetUV(second[0], 1, 0);
            SetPosition(second[1], p[3]);
            SetUV(second[1], 1, 1);
            SetPosition(second[2], p[2]);
            SetUV(second[2], 0, 1);
            t += 2;
        }
    }
    wallTriangles = 2 * quads * houseCount;
    t = terrainTriangles + wallTriangles;

    count = map.ReadTreeCount();
    CheckCapacity(int64_t(t) + 2LL * count + 2LL * MAX_ZOMBIES, mapPath);
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
        const float top = float(ground + 11.0), foot = float(ground);
        DXVertexTL* a = device->GetVBTri(t);
        a[0].z = top;
        SetUV(a[0], 0, 0);
        a[1].z = top;
        SetUV(a[1], 1, 0);
        a[2].z = foot;
        SetUV(a[2], 0, 1);
        DXVertexTL* b = device->GetVBTri(t + 1);
        b[0].z = top;
        SetUV(b[0], 1, 0);
        b[1].z = foot;
        SetUV(b[1], 1, 1);
        b[2].z = foot;
        SetUV(b[2], 0, 1);
        for (int32_t v = 0; v < 3; v++)
            a[v].nz = b[v].nz = 0.0f;
        t += 2;
    }
    treeTriangles = 2 * treeCount;

    // Each wall face is lit flat. A quad with repeated or collinear corners has no normal.
    for (int32_t i = terrainTriangles; i < terrainTriangles + wallTriangles; i++)
    {
        DXVertexTL* tri = device->GetVBTri(i);
        M3DVector cross = FaceNormalUnscaled(tri);
        if (cross.x == 0.0 && cross.y == 0.0 && cross.z == 0.0)
            RefuseWorldFile(wallModelPath,
                            TString("quad %d is degenerate",
                                    int(quads ? ((i - terrainTriangles) / 2) % quads : 0))
                                .text);
        M3DVector n = Normalise(cross);
        for (int32_t v = 0; v < 3; v++)
            SetNormal(tri[v], n);
    }

    wallTexture = LoadTexture("Wall.bmp", 128, 128);
    treeTexture = LoadTexture("Tree.bmp", 128, 128);

    // Terrain: the exact levelled heights, two triangles a cell.
    auto point = [this](int32_t a, int32_t b)
    { return M3DVector(12.0 * a, 12.0 * b, heightMap[HEIGHTMAP_SIZE * b + a] / 3.0); };
    for (int32_t j = 0; j < cells; j++)
        for (int32_t i = 0; i < cells; i++)
        {
            DXVertexTL* first = device->GetVBTri(2 * (cells * j + i));
            SetPosition(first[0], point(i, j));
            SetPosition(first[1], point(i + 1, j));
            SetPosition(first[2], point(i, j + 1));
            DXVertexTL* second = device->GetVBTri(2 * (cells * j + i) + 1);
            SetPosition(second[0], point(i + 1, j));
            SetPosition(second[1], point(i + 1, j + 1));
            SetPosition(second[2], point(i, j + 1));
        }

    // Face normals, and the grass once over every cell.
    std::vector<M3DVector> faceNormals(static_cast<size_t>(terrainTriangles));
    for (int32_t i = 0; i < terrainTriangles; i++)
    {
        DXVertexTL* tri = device->GetVBTri(i);
        faceNormals[size_t(i)] = Normalise(FaceNormalUnscaled(tri));
        if (i % 2 == 0)
        {
            SetUV(tri[0], 0, 0);
            SetUV(tri[1], 1, 0);
            SetUV(tri[2], 0, 1);
        }
        else
        {
            SetUV(tri[0], 1, 0);
            SetUV(tri[1], 1, 1);
            SetUV(tri[2], 0, 1);
        }
    }

    // Smooth shading: each grid point takes the normals of the cells round it that exist.
    auto exists = [](int32_t i, int32_t j) { return i >= 0 && j >= 0 && i < cells && j < cells; };
    auto firstOf = [](int32_t i, int32_t j) { return 2 * (cells * j + i); };
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

    // The zombie picture fills 60 x 155 texels of its 64 x 256 texture.
    zombieTriangles = 2 * MAX_ZOMBIES;
    const float uMax = 0.9375f, vMax = 0.60546875f;
    for (int32_t z = 0; z < MAX_ZOMBIES; z++)
    {
        int32_t first = terrainTriangles + wallTriangles + treeTriangles + 2 * z;
        DXVertexTL* a = device->GetVBTri(first);
        SetUV(a[0], 0, 0);
        SetUV(a[1], uMax, 0);
        SetUV(a[2], 0, vMax);
        DXVertexTL* b = device->GetVBTri(first + 1);
        SetUV(b[0], uMax, 0);
        SetUV(b[1], uMax, vMax);
        SetUV(b[2], 0, vMax);
        for (int32_t v = 0; v < 3; v++)
            a[v].nz = b[v].nz = 0.0f;
    }

    vbTriangleCount = terrainTriangles + wallTriangles + treeTriangles + zombieTriangles;
    device->Unlock();

    axeIdleImage = LoadOverlay("axe0.bmp", 210, 480);
    axeSwingImage = LoadOverlay("axe1.bmp", 378, 218);
    static const ImageEntry digits[11] = {
        {"Sm0.bmp", 32, 27}, {"Sm1.bmp", 21, 26}, {"Sm2.bmp", 28, 26}, {"Sm3.bmp", 29, 34},
        {"Sm4.bmp", 31, 34}, {"Sm5.bmp", 28, 34}, {"Sm6.bmp", 29, 34}, {"Sm7.bmp", 27, 33},
        {"Sm8.bmp", 30, 34}, {"Sm9.bmp", 29, 34}, {"SmC.bmp", 13, 24}};
    digitImages = new DXOverlay*[11]();
    for (int32_t d = 0; d < 11; d++)
        digitImages[d] = LoadOverlay(digits[d].fileName, digits[d].width, digits[d].height);
    woodIconImage = LoadOverlay("WoodIcon.bmp", 72, 68);
    clockIconImage = LoadOverlay("ClockIcon.bmp", 63, 63);
    nightfallImage = LoadOverlay("Nightfall.bmp", 453, 51);
    daybreakImage = LoadOverlay("Daybreak.bmp", 414, 53);
    boardTexture = LoadTexture("Board.bmp", 128, 64);
    zombieTexture = LoadTexture("Zombie0.bmp", 64, 256);
    boardPanelImage = LoadOverlay("bs.bmp", 340, 43);
    boardPromptImage = LoadOverlay("bsinc.bmp", 427, 35);

    // Zeroed records: nothing reads one before nightfall places it, but none holds garbage.
    zombies = new Zombie[MAX_ZOMBIES]();

    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse.r = 0.315f;
    light.Diffuse.g = 0.35f;
    light.Diffuse.b = 0.2625f;
    light.Diffuse.a = 0.0f;
    light.Direction.x = 1.0f;
    light.Direction.y = 0.8f;
    light.Direction.z = -1.0f;
    device->device->SetLight(0, &light);
    device->device->LightEnable(0, TRUE);
    device->device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->device->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
}
