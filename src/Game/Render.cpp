// One frame of play: sky, camera, terrain and walls, boards, tree and zombie billboards,
// then the heads-up display in screen space, and the states the next frame expects.
#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "Types3d/Trig.h"

#include <cmath>

namespace
{
const D3DCOLOR DAY_SKY = 0x76D3E4;
const D3DCOLOR NIGHT_SKY = 0x192F2C;

const double TREE_HALF_WIDTH = 5.0;
const double ZOMBIE_HALF_WIDTH = 1.5;

// Part way from a to b, and b itself, to the bit, at the end.
double Between(double a, double b, double f)
{
    return f >= 1.0 ? b : a + (b - a) * f;
}

const D3DMATRIX* AsD3D(const float* matrix)
{
    return reinterpret_cast<const D3DMATRIX*>(matrix);
}

// Writes the x and y of a camera-facing quad across the line of sight into triangles t
// and t + 1 of the locked buffer; heights and texture coordinates stay as loaded.
void WriteBillboard(DXDevice* dev, int32_t t, double px, double py, double halfWidth, double yaw)
{
    double dx = -trig::Sin(yaw) * halfWidth;
    double dy = trig::Cos(yaw) * halfWidth;
    float nx = float(-trig::Cos(yaw));
    float ny = float(-trig::Sin(yaw));
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

// A corner of a plank of window `window`, given along its wall and above the ground.
DXVertexTL BoardVertex(const M3DVector& corner, int32_t window, const double plankCorner[2],
                       float u, float v)
{
    const house::Window& w = house::WINDOW[window];
    double along = plankCorner[0];
    DXVertexTL vertex;
    vertex.x = float(corner.x + (w.alongX ? along : w.plane));
    vertex.y = float(corner.y + (w.alongX ? w.plane : along));
    vertex.z = float(corner.z + plankCorner[1]);
    vertex.nx = w.normalX;
    vertex.ny = w.normalY;
    vertex.nz = 0;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}
} // namespace

void CGame::Render()
{
    IDirect3DDevice9* d3d = device->device;

    device->FillColour(IsNight() ? NIGHT_SKY : DAY_SKY);

    // Between the last two steps, and turned by the motion the next step will take.
    const double f = drawn.fraction;
    const M3DVector eye(Between(drawn.posX, posX, f), Between(drawn.posY, posY, f),
                        Between(drawn.eyeZ, eyeZ, f));
    const double viewYaw = yaw + drawn.turnX;
    const double viewPitch = pitch - drawn.turnY;
    M3DMatrix view =
        Translation(M3DVector(-eye.x, -eye.y, -eye.z)) * Rotation(-roll, -viewPitch, -viewYaw);
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
        WriteBillboard(device, treeBlock + 2 * i, trees[i].x, trees[i].y, TREE_HALF_WIDTH, viewYaw);
    device->Unlock();
    device->DrawTris(treeBlock, treeTriangles, treeTexture);

    if (IsNight())
    {
        int32_t zombieBlock = treeBlock + treeTriangles;
        // The same zombies as when the step began, or they were placed or one fell: as they are.
        double z = drawn.night && drawn.zombieCount == zombieCount ? f : 1.0;
        device->Lock(0, 0);
        for (int32_t k = 0; k < zombieCount; k++)
            WriteBillboard(
                device, zombieBlock + 2 * k, Between(drawn.zombieX[k], zombies[k].pos.x, z),
                Between(drawn.zombieY[k], zombies[k].pos.y, z), ZOMBIE_HALF_WIDTH, viewYaw);
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

void CGame::DrawBoards(int32_t h)
{
    const M3DVector& corner = houses[h];
    for (int32_t j = 0; j < house::WINDOWS; j++)
    {
        // One board or ten, the window shows every plank.
        if (boards[h][j] == 0)
            continue;
        const house::WindowPlanks& set = house::PLANKS[j];
        for (int32_t p = 0; p < set.count; p++)
        {
            const house::Plank& plank = set.plank[p];
            DXVertexTL a = BoardVertex(corner, j, plank.a, 0, 0);
            DXVertexTL b = BoardVertex(corner, j, plank.b, 1, 0);
            DXVertexTL c = BoardVertex(corner, j, plank.c, 0, 1);
            DXVertexTL d = BoardVertex(corner, j, plank.d, 1, 1);
            device->Tri3TL(a, b, c, boardTexture);
            device->Tri3TL(b, d, c, boardTexture);
        }
    }
}
