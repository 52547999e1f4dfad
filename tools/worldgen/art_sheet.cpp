// The list of every picture, and a contact sheet for looking them over.
#include "art.h"
#include "canvas.h"

#include <algorithm>
#include <stdexcept>

namespace worldgen
{

std::vector<Asset> MakeAllArt()
{
    std::vector<Asset> a;
    auto add = [&](const char* f, Loader l, Image img) { a.push_back({f, l, std::move(img)}); };
    add("Grass.bmp", Loader::Texture, MakeGrass());
    add("Wall.bmp", Loader::Texture, MakeWall());
    add("Tree.bmp", Loader::Texture, MakeTree());
    add("axe0.bmp", Loader::Overlay, MakeAxeIdle());
    add("axe1.bmp", Loader::Overlay, MakeAxeSwing());
    const int sizes[11][2] = {{32, 27}, {21, 26}, {28, 26}, {29, 34}, {31, 34}, {28, 34},
                              {29, 34}, {27, 33}, {30, 34}, {29, 34}, {13, 24}};
    for (int d = 0; d < 11; ++d)
    {
        const std::string name = d < 10 ? "Sm" + std::to_string(d) + ".bmp" : "SmC.bmp";
        a.push_back({name, Loader::Overlay, MakeDigit(char('0' + d), sizes[d][0], sizes[d][1])});
    }
    // The colon glyph comes out of the digit maker as ':', the character after '9'.
    add("WoodIcon.bmp", Loader::Overlay, MakeWoodIcon());
    add("ClockIcon.bmp", Loader::Overlay, MakeClockIcon());
    add("Nightfall.bmp", Loader::Overlay, MakeBanner("Nightfall", 453, 51, true));
    add("Daybreak.bmp", Loader::Overlay, MakeBanner("Daybreak", 414, 53, false));
    add("Board.bmp", Loader::Texture, MakeBoard());
    add("Zombie0.bmp", Loader::Texture, MakeZombie());
    add("bs.bmp", Loader::Overlay, MakeBoardPanel());
    add("bsinc.bmp", Loader::Overlay, MakeBoardPrompt());
    add("GameOver0.bmp", Loader::Picture, MakeGameOverOutside());
    add("GameOver1.bmp", Loader::Picture, MakeGameOverKilled());
    return a;
}

void WriteContactSheet(const std::vector<Asset>& art, const std::string& pngPath)
{
    // Shelf packing, widest rows first is not needed: the list order groups
    // related pictures, which reads better.
    const int sheetW = 1340, pad = 14, label = 16;
    struct Spot
    {
        int x, y;
    };
    std::vector<Spot> spots;
    int x = pad, y = pad, rowH = 0;
    for (const Asset& a : art)
    {
        if (x + a.image.width + pad > sheetW)
        {
            x = pad;
            y += rowH + label + pad;
            rowH = 0;
        }
        spots.push_back({x, y});
        x += std::max(a.image.width, 130) + pad;
        rowH = std::max(rowH, a.image.height);
    }
    const int sheetH = y + rowH + label + pad;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetW, sheetH);
    cairo_t* cr = cairo_create(s);
    SetRgb(cr, 48, 52, 58);
    cairo_paint(cr);
    UseFont(cr, Face::Sans, 11);
    for (size_t i = 0; i < art.size(); ++i)
    {
        const Image& img = art[i].image;
        const bool keyed = art[i].loader != Loader::Picture;
        for (int py = 0; py < img.height; ++py)
            for (int px = 0; px < img.width; ++px)
            {
                const Rgb p = img.At(px, py);
                const bool light = ((px / 8) + (py / 8)) % 2 == 0;
                const int chk = light ? 200 : 150;
                Rgb out = p;
                if (keyed && p == kWhite)
                    out = Rgb{uint8_t(chk), uint8_t(chk), uint8_t(chk)};
                else if (art[i].loader == Loader::Overlay && p == kMagenta)
                    out = Rgb{uint8_t((chk + 127) / 2), uint8_t((chk + 127) / 2),
                              uint8_t((chk + 127) / 2)};
                else if (art[i].loader == Loader::Picture && p == kMagenta)
                    out = Rgb{127, 127, 127};
                SetRgb(cr, out.r, out.g, out.b);
                cairo_rectangle(cr, spots[i].x + px, spots[i].y + py, 1, 1);
                cairo_fill(cr);
            }
        SetRgb(cr, 220, 220, 220);
        cairo_move_to(cr, spots[i].x, spots[i].y + img.height + 12);
        const std::string caption =
            art[i].file + "  " + std::to_string(img.width) + "x" + std::to_string(img.height);
        cairo_show_text(cr, caption.c_str());
    }
    cairo_surface_flush(s);
    const cairo_status_t st = cairo_surface_write_to_png(s, pngPath.c_str());
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + pngPath);
}

} // namespace worldgen
