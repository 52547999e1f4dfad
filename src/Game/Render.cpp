// One frame of play: sky, camera, terrain and walls, boards, tree and zombie billboards,
// then the heads-up display in screen space, and the states the next frame expects.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"

#include <cmath>

namespace
{
const D3DCOLOR daySky = 0x76D3E4;
const D3DCOLOR nightSky = 0x192F2C;

const double treeHalfWidth = 5.0;
const double zombieHalfWidth = 1.5;

const D3DMATRIX* AsD3D(const float* matrix)
{
    return reinterpret_cast<const D3DMATRIX*>(matrix);
}

// Writes the x and y of a camera-facing quad across the line of sight into triangles t
// and t + 1 of the locked buffer; heights and texture coordinates stay as loaded.
void WriteBillboard(DXDevice* dev, int32_t t, double px, double py, double halfWidth, double yaw)
{
    double dx = -std::sin(yaw) * halfWidth;
    double dy = std::cos(yaw) * halfWidth;
    float nx = float(-std::cos(yaw));
    float ny = float(-std::sin(yaw));
    float leftX = float(px - dx), leftY = float(py - dy);
    float rightX = float(px + dx), rightY = float(py + dy);

    // A and C share the left edge, B and D the right one.
    DXVertexTL* first = dev->GetVBTri(t);
    first[0].x = leftX, first[0].y = leftY;
    first[1].x = rightX, first[1].y = rightY;
    first[2].x = leftX, first[2].y = leftY;
    DXVertexTL* second = dev->GetVBTri(t + 1);
    second[0].x = rightX, second[0].y = rightY;
    second[1].x = rightX, second[1].y = rightY;
    second[2].x = leftX, second[2].y = leftY;
    for (int i = 0; i < 3; i++)
    {
        first[i].nx = nx, first[i].ny = ny;
        second[i].nx = nx, second[i].ny = ny;
    }
}

// A plank's four corners in the window's plane: (along, height) from the house corner.
struct Plank
{
    double a[2], b[2], c[2], d[2];
};

struct WindowBoards
{
    int planks;
    Plank plank[3];
};

const WindowBoards windowBoards[WINDOWS_PER_HOUSE] = {
    {3,
     {{{23, 11}, {39, 14}, {24, 9}, {40, 12}},
      {{23.5, 10}, {41, 8}, {22.5, 8}, {40, 6}},
      {{24, 3.5}, {39.5, 5.5}, {25, 1.5}, {40.5, 3.5}}}},
    {3,
     {{{109, 11}, {93, 14}, {108, 9}, {92, 12}},
      {{108.5, 10}, {91, 8}, {109.5, 8}, {92, 6}},
      {{108, 3.5}, {92.5, 5.5}, {107, 1.5}, {91.5, 3.5}}}},
    {2, {{{19, 13}, {35, 10}, {18, 11}, {34, 8}}, {{18, 6}, {34, 8.5}, {19, 4}, {35, 6.5}}}},
    {2, {{{83, 13}, {99, 10}, {82, 11}, {98, 8}}, {{82, 6}, {98, 8.5}, {83, 4}, {99, 6.5}}}},
    {2, {{{56, 13}, {40, 10}, {57, 11}, {41, 8}}, {{57, 6}, {41, 8.5}, {56, 4}, {40, 6.5}}}},
};

// Boards sit 0.6 inside the 64 x 112 footprint, so they show from indoors and out.
const double boardInset = 0.6;

DXVertexTL BoardVertex(const M3DVector& house, int32_t window, const double corner[2], float u,
                       float v)
{
    double x, y;
    float nx = 0, ny = 0;
    switch (window)
    {
    case 0:
        x = house.x + corner[0], y = house.y + boardInset, ny = 1;
        break;
    case 1:
        x = house.x + boardInset, y = house.y + corner[0], nx = 1;
        break;
    case 2:
    case 3:
        x = house.x + 64 - boardInset, y = house.y + corner[0], nx = -1;
        break;
    default:
        x = house.x + corner[0], y = house.y + 112 - boardInset, ny = -1;
        break;
    }
    DXVertexTL vertex;
    vertex.x = float(x);
    vertex.y = float(y);
    vertex.z = float(house.z + corner[1]);
    vertex.nx = nx;
    vertex.ny = ny;
    vertex.nz = 0;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}
} // namespace

void CGame::Render()
{
    IDirect3DDevice9* d3d = device->device;

    device->FillColour(phase == 1 || phase == 2 ? nightSky : daySky);

    M3DMatrix view = Translation(M3DVector(-posX, -posY, -eyeZ)) * Rotation(-roll, -pitch, -yaw);
    d3d->SetTransform(D3DTS_VIEW, AsD3D(ToD3DMatrix(view)));

    device->DrawTris(0, terrainTriangles, grassTexture);
    device->DrawTris(terrainTriangles, wallTriangles, wallTexture);

    // The white key has alpha 0: below the reference it is dropped and writes no depth.
    d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d3d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d3d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    d3d->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    d3d->SetRenderState(D3DRS_ALPHAREF, 8);
    d3d->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);

    for (int32_t h = 0; h < houseCount; h++)
        DrawBoards(h);

    int32_t treeBlock = terrainTriangles + wallTriangles;
    device->Lock(0, 0);
    for (int32_t i = 0; i < treeCount; i++)
        WriteBillboard(device, treeBlock + 2 * i, trees[i].x, trees[i].y, treeHalfWidth, yaw);
    device->Unlock();
    device->DrawTris(treeBlock, treeTriangles, treeTexture);

    if (phase == 1 || phase == 2)
    {
        int32_t zombieBlock = treeBlock + treeTriangles;
        device->Lock(0, 0);
        for (int32_t k = 0; k < zombieCount; k++)
            WriteBillboard(device, zombieBlock + 2 * k, zombies[k].pos.x, zombies[k].pos.y,
                           zombieHalfWidth, yaw);
        device->Unlock();
        device->DrawTris(zombieBlock, 2 * zombieCount, zombieTexture);
    }

    // Screen space: the 640 x 480 grid, rows top-down.
    SetScreenSpace(device);

    DrawHud();

    // What the next frame's 3D pass starts from.
    d3d->SetRenderState(D3DRS_LIGHTING, TRUE);
    d3d->SetRenderState(D3DRS_ZENABLE, TRUE);
    d3d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    d3d->SetTransform(D3DTS_PROJECTION, AsD3D(projection));
    d3d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d3d->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

void CGame::DrawBoards(int32_t house)
{
    const M3DVector& corner = houses[house];
    for (int32_t j = 0; j < WINDOWS_PER_HOUSE; j++)
    {
        // One board or ten, the window shows every plank.
        if (boards[house][j] == 0)
            continue;
        const WindowBoards& set = windowBoards[j];
        for (int p = 0; p < set.planks; p++)
        {
            const Plank& plank = set.plank[p];
            DXVertexTL a = BoardVertex(corner, j, plank.a, 0, 0);
            DXVertexTL b = BoardVertex(corner, j, plank.b, 1, 0);
            DXVertexTL c = BoardVertex(corner, j, plank.c, 0, 1);
            DXVertexTL d = BoardVertex(corner, j, plank.d, 1, 1);
            device->Tri3TL(a, b, c, boardTexture);
            device->Tri3TL(b, d, c, boardTexture);
        }
    }
}
