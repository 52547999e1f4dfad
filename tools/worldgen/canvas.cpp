#include "canvas.h"
#include "Types3d/Types3d.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <stdexcept>

namespace worldgen
{

Canvas::Canvas(int width, int height) : w(width), h(height)
{
    fgSurf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    keySurf = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    fgCr = cairo_create(fgSurf);
    keyCr = cairo_create(keySurf);
}

Canvas::~Canvas()
{
    cairo_destroy(fgCr);
    cairo_destroy(keyCr);
    cairo_surface_destroy(fgSurf);
    cairo_surface_destroy(keySurf);
}

static Rgb Unpremultiply(uint32_t px)
{
    const uint32_t a = px >> 24;
    if (a == 0)
        return Rgb{0, 0, 0};
    auto ch = [&](int shift)
    { return uint8_t(std::min<uint32_t>(255, (((px >> shift) & 0xFF) * 255 + a / 2) / a)); };
    return Rgb{ch(16), ch(8), ch(0)};
}

Image Canvas::ComposeKeyed()
{
    cairo_surface_flush(fgSurf);
    cairo_surface_flush(keySurf);
    const unsigned char* fd = cairo_image_surface_get_data(fgSurf);
    const unsigned char* kd = cairo_image_surface_get_data(keySurf);
    const int fs = cairo_image_surface_get_stride(fgSurf);
    const int ks = cairo_image_surface_get_stride(keySurf);
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t px = *reinterpret_cast<const uint32_t*>(fd + y * fs + x * 4);
            Rgb c;
            if ((px >> 24) >= 128)
            {
                c = Unpremultiply(px);
                // A solid pixel must never read as a key, or as almost one.
                if (c == WHITE || IsNearWhite(c))
                    c = Rgb{std::min<uint8_t>(c.r, 218), std::min<uint8_t>(c.g, 218),
                            std::min<uint8_t>(c.b, 218)};
                if (c == MAGENTA || IsNearMagenta(c))
                    c = Rgb{uint8_t(c.r - 70), uint8_t(c.g + 20), uint8_t(c.b - 70)};
            }
            else
                c = kd[y * ks + x] >= 128 ? MAGENTA : WHITE;
            out.At(x, y) = c;
        }
    return out;
}

Image Canvas::ComposeOpaque(Rgb under, bool avoidWhite)
{
    cairo_surface_flush(fgSurf);
    const unsigned char* fd = cairo_image_surface_get_data(fgSurf);
    const int fs = cairo_image_surface_get_stride(fgSurf);
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const uint32_t px = *reinterpret_cast<const uint32_t*>(fd + y * fs + x * 4);
            const uint32_t a = px >> 24;
            auto ch = [&](int shift, uint8_t base)
            { return uint8_t(((px >> shift) & 0xFF) + (base * (255 - a) + 127) / 255); };
            Rgb c{ch(16, under.r), ch(8, under.g), ch(0, under.b)};
            if (avoidWhite && c == WHITE)
                c = Rgb{250, 250, 250};
            if (c == MAGENTA)
                c.g = 8;
            out.At(x, y) = c;
        }
    return out;
}

static cairo_font_face_t* LoadFace(Face face)
{
    static std::map<Face, cairo_font_face_t*> cache;
    static FT_Library lib = nullptr;
    auto it = cache.find(face);
    if (it != cache.end())
        return it->second;
    if (!lib && FT_Init_FreeType(&lib) != 0)
        throw std::runtime_error("FreeType failed to start");
    const char* dir = "/usr/share/fonts/truetype/dejavu/";
    const char* file = face == Face::Sans        ? "DejaVuSans.ttf"
                       : face == Face::SansBold  ? "DejaVuSans-Bold.ttf"
                       : face == Face::SerifBold ? "DejaVuSerif-Bold.ttf"
                                                 : "DejaVuSansCondensed-Bold.ttf";
    const std::string path = std::string(dir) + file;
    FT_Face ft;
    if (FT_New_Face(lib, path.c_str(), 0, &ft) != 0)
        throw std::runtime_error("font missing: " + path + " (install fonts-dejavu-core)");
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(ft, 0);
    cache[face] = cf; // kept for the life of the program
    return cf;
}

void UseFont(cairo_t* cr, Face face, double size)
{
    cairo_set_font_face(cr, LoadFace(face));
    cairo_set_font_size(cr, size);
}

void CentredTextPath(cairo_t* cr, const std::string& text, double cx, double cy)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, text.c_str());
}

void FittedTextPath(cairo_t* cr, const std::string& text, double x, double y, double bw, double bh)
{
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, bw / e.width, bh / e.height);
    cairo_move_to(cr, -e.x_bearing, -e.y_bearing);
    cairo_text_path(cr, text.c_str());
    cairo_restore(cr);
}

void OutlinedText(cairo_t* cr, double outline, double r0, double g0, double b0, double r1,
                  double g1, double b1)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, outline * 2);
    cairo_set_source_rgb(cr, r0, g0, b0);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, r1, g1, b1);
    cairo_fill(cr);
}

void SetRgb(cairo_t* cr, int r, int g, int b, double a)
{
    cairo_set_source_rgba(cr, r / 255.0, g / 255.0, b / 255.0, a);
}

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, PI / 2, PI);
    cairo_arc(cr, x + r, y + r, r, PI, 3 * PI / 2);
    cairo_close_path(cr);
}

} // namespace worldgen
