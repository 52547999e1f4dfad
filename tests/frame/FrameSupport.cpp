#include "frame/FrameSupport.h"

#include "Game/Game.h"
#include "Game/Globals.h"
#include "Gedx/DXDevice.h"
#include "Gedx/DXTexture.h"
#include "port/Port.h"

#include <cmath>
#include <cstring>
#include <ostream>

DXOverlay* MakeOverlay(int32_t width, int32_t height)
{
    int32_t tw = NextPowerOfTwo(width), th = NextPowerOfTwo(height);
    std::vector<uint32_t> pixels(size_t(tw) * size_t(th), 0xFF808080u);
    return new DXOverlay(device, width, height, tw, th, pixels.data());
}

DXTexture* MakeTexture()
{
    const uint32_t pixels[4] = {0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u};
    return new DXTexture(device, 2, 2, pixels);
}

std::string NameOf(DXTexture* texture)
{
    return port::LastMemoryDevice()->NameOf(texture->texture);
}

std::string NameOf(DXOverlay* overlay)
{
    return NameOf(overlay->texture);
}

void FillTestGame(CGame& g)
{
    g.heightMap = new int32_t[128 * 128]();
    g.grassTexture = MakeTexture();
    g.wallTexture = MakeTexture();
    g.treeTexture = MakeTexture();
    g.boardTexture = MakeTexture();
    g.zombieTexture = MakeTexture();
    g.axeIdleImage = MakeOverlay(210, 480);
    g.axeSwingImage = MakeOverlay(378, 218);
    g.clockIconImage = MakeOverlay(63, 63);
    g.woodIconImage = MakeOverlay(72, 68);
    g.boardPanelImage = MakeOverlay(340, 43);
    g.boardPromptImage = MakeOverlay(427, 35);
    g.nightfallImage = MakeOverlay(453, 51);
    g.daybreakImage = MakeOverlay(414, 53);
    const int32_t glyphSizes[11][2] = {{32, 27}, {21, 26}, {28, 26}, {29, 34}, {31, 34}, {28, 34},
                                       {29, 34}, {27, 33}, {30, 34}, {29, 34}, {13, 24}};
    g.digitImages = new DXOverlay*[11];
    for (int i = 0; i < 11; i++)
        g.digitImages[i] = MakeOverlay(glyphSizes[i][0], glyphSizes[i][1]);

    g.terrainTriangles = 4;
    g.wallTriangles = 2;
    g.houseCount = 1;
    g.houses = new M3DVector[1];
    g.houses[0] = M3DVector(100.0, 200.0, 30.0);
    g.treeCount = 2;
    g.treeTriangles = 4;
    g.trees = new M3DVector[2];
    g.trees[0] = M3DVector(300.0, 400.0, 0.0);
    g.trees[1] = M3DVector(5000.0, 20.0, 0.0);
    g.zombies = new Zombie[MAX_ZOMBIES]();
    g.zombieCount = 0;
    g.zombieTriangles = 2 * MAX_ZOMBIES;
    g.vbTriangleCount = 4 + 2 + 4 + 2 * MAX_ZOMBIES;
    for (int i = 0; i < 16; i++)
        g.projection[i] = float(i + 1);
    g.Reset();
    g.health = 100;
    g.currentHouse = -1;
}

std::ostream& operator<<(std::ostream& out, const ScreenRect& r)
{
    return out << r.texture << " at (" << r.x0 << ", " << r.y0 << ") " << r.width << " x "
               << r.height;
}

std::vector<ScreenRect> OverlayRects(const std::vector<port::DeviceCall>& calls)
{
    std::vector<ScreenRect> rects;
    const port::DeviceCall* first = nullptr;
    for (const port::DeviceCall& call : calls)
    {
        if (call.kind != port::CallKind::DrawPrimitiveUP || call.fvf != FVF_VERTEX_T)
            continue;
        if (first == nullptr)
        {
            first = &call;
            continue;
        }
        // A = top left, B = top right, C = bottom left of the first triangle.
        DXVertexT v[3];
        std::memcpy(v, first->vertices.data(), sizeof v);
        double left = (double(v[0].x) + 1.0) * 320.0;
        double top = (double(v[0].y) + 1.0) * 240.0;
        double right = (double(v[1].x) + 1.0) * 319.5;
        double bottom = (double(v[2].y) + 1.0) * 239.5;
        ScreenRect r;
        r.texture = first->texture;
        r.x0 = int(std::lround(left));
        r.y0 = int(std::lround(top));
        r.width = int(std::lround(right)) - r.x0 + 1;
        r.height = int(std::lround(bottom)) - r.y0 + 1;
        rects.push_back(r);
        first = nullptr;
    }
    return rects;
}

ScreenRect Rect(DXOverlay* overlay, int x0, int y0)
{
    return ScreenRect{NameOf(overlay), x0, y0, overlay->width, overlay->height};
}

std::vector<std::string> FrameTrace(const std::vector<port::DeviceCall>& calls)
{
    using port::CallKind;
    std::vector<std::string> trace;
    for (const port::DeviceCall& call : calls)
    {
        switch (call.kind)
        {
        case CallKind::Clear:
        {
            char colour[16];
            std::snprintf(colour, sizeof colour, "%06X", unsigned(call.colour));
            trace.push_back(std::string("Clear ") + colour);
            break;
        }
        case CallKind::BeginScene:
        case CallKind::EndScene:
        case CallKind::Present:
        case CallKind::Lock:
        case CallKind::Unlock:
            trace.push_back(port::CallKindName(call.kind));
            break;
        case CallKind::SetTransform:
            trace.push_back(port::TransformName(call.transformType));
            break;
        case CallKind::SetRenderState:
            trace.push_back(port::RenderStateName(call.renderState) + " " +
                            std::to_string(call.value));
            break;
        case CallKind::DrawPrimitive:
            trace.push_back("Draw " + std::to_string(call.startVertex / 3) + " " +
                            std::to_string(call.primitiveCount) + " " + call.texture);
            break;
        case CallKind::DrawPrimitiveUP:
            trace.push_back((call.fvf == FVF_VERTEX_T ? "Overlay " : "Tri ") + call.texture);
            break;
        default:
            break;
        }
    }
    return trace;
}

std::vector<LitVertex> LitVertices(const port::DeviceCall& call)
{
    std::vector<LitVertex> vertices(call.vertices.size() / sizeof(LitVertex));
    std::memcpy(vertices.data(), call.vertices.data(), vertices.size() * sizeof(LitVertex));
    return vertices;
}

void Transform(const D3DMATRIX& m, double x, double y, double z, double out[3])
{
    for (int j = 0; j < 3; j++)
        out[j] = x * m.m[0][j] + y * m.m[1][j] + z * m.m[2][j] + m.m[3][j];
}
