// The list of every picture, and a contact sheet for looking them over.
#include "art.h"
#include "canvas.h"

#include "Game/Images.h"

#include <algorithm>
#include <stdexcept>

namespace worldgen
{

namespace
{
Image MakeListed(image::Id id, int width, int height)
{
    if (id >= image::DIGITS && id <= image::COLON)
        // The colon comes out of the digit maker as ':', the character after '9'.
        return MakeDigit(char('0' + (id - image::DIGITS)), width, height);
    switch (id)
    {
    case image::GAME_OVER_OUTSIDE:
        return MakeGameOverOutside();
    case image::GAME_OVER_KILLED:
        return MakeGameOverKilled();
    case image::GRASS:
        return MakeGrass();
    case image::WALL:
        return MakeWall();
    case image::TREE:
        return MakeTree();
    case image::AXE_IDLE:
        return MakeAxeIdle();
    case image::AXE_SWING:
        return MakeAxeSwing();
    case image::WOOD_ICON:
        return MakeWoodIcon();
    case image::CLOCK_ICON:
        return MakeClockIcon();
    case image::NIGHTFALL:
        return MakeBanner("Nightfall", width, height, true);
    case image::DAYBREAK:
        return MakeBanner("Daybreak", width, height, false);
    case image::BOARD:
        return MakeBoard();
    case image::ZOMBIE:
        return MakeZombie();
    case image::BOARD_PANEL:
        return MakeBoardPanel();
    case image::BOARD_PROMPT:
        return MakeBoardPrompt();
    default:
        break;
    }
    throw std::logic_error("no picture is drawn for an image of the list");
}
} // namespace

std::vector<Asset> MakeAllArt()
{
    std::vector<Asset> art;
    for (int32_t id = 0; id < image::COUNT; ++id)
    {
        const image::File& file = image::FILES[id];
        Image picture = MakeListed(image::Id(id), file.width, file.height);
        if (picture.width != file.width || picture.height != file.height)
            throw std::logic_error(std::string(file.name) +
                                   " is not drawn at the size the game reads");
        // The game-over pictures are drawn with blending off.
        Loader loader = id == image::GAME_OVER_OUTSIDE || id == image::GAME_OVER_KILLED
                            ? Loader::Picture
                        : file.loader == image::Loader::Texture ? Loader::Texture
                                                                : Loader::Overlay;
        art.push_back({file.name, loader, std::move(picture)});
    }
    return art;
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
                if (keyed && p == WHITE)
                    out = Rgb{uint8_t(chk), uint8_t(chk), uint8_t(chk)};
                else if (art[i].loader == Loader::Overlay && p == MAGENTA)
                    out = Rgb{uint8_t((chk + 127) / 2), uint8_t((chk + 127) / 2),
                              uint8_t((chk + 127) / 2)};
                else if (art[i].loader == Loader::Picture && p == MAGENTA)
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
