// Textures of the 3D world: grass, walls, trees, boards and the zombie.
#include "art.h"
#include "Types3d/Types3d.h"
#include "canvas.h"
#include "rng.h"

#include <cmath>

namespace worldgen
{

namespace
{

// Value noise that wraps every `period` pixels, so a texture built from it tiles.
class TileNoise
{
  public:
    TileNoise(Rng& rng, int cells, int period) : n(cells), scale(double(cells) / period), v(n * n)
    {
        for (double& x : v)
            x = rng.Unit();
    }
    double At(double x, double y) const
    {
        const double fx = x * scale, fy = y * scale;
        const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
        double u = fx - x0, t = fy - y0;
        u = u * u * (3 - 2 * u);
        t = t * t * (3 - 2 * t);
        auto g = [&](int a, int b) { return v[size_t(((b % n) + n) % n) * n + ((a % n) + n) % n]; };
        const double top = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * u;
        const double bot = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * u;
        return top + (bot - top) * t;
    }

  private:
    int n;
    double scale;
    std::vector<double> v;
};

void Pixel(cairo_t* cr, double x, double y, int r, int g, int b)
{
    SetRgb(cr, r, g, b);
    cairo_rectangle(cr, x, y, 1, 1);
    cairo_fill(cr);
}

// Wood grain: wavy darker lines running along a plank.
void Grain(cairo_t* cr, Rng& rng, double x0, double y0, double w, double h, int lines)
{
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < lines; ++i)
    {
        const double y = y0 + rng.Range(2, h - 2);
        const double amp = rng.Range(0.4, 1.8), freq = rng.Range(0.03, 0.09), ph = rng.Range(0, 6);
        cairo_move_to(cr, x0, y);
        for (double x = x0; x <= x0 + w; x += 2)
            cairo_line_to(cr, x, y + amp * std::sin(ph + (x - x0) * freq));
        cairo_set_source_rgba(cr, 0.18, 0.1, 0.04, rng.Range(0.15, 0.35));
        cairo_stroke(cr);
    }
}

} // namespace

Image MakeGrass()
{
    Rng rng(101);
    Canvas c(128, 128);
    cairo_t* cr = c.fg();
    const TileNoise broad(rng, 4, 128), fine(rng, 16, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
        {
            const double t = 0.65 * broad.At(x, y) + 0.35 * fine.At(x, y);
            Pixel(cr, x, y, int(58 + 40 * t), int(96 + 48 * t), int(34 + 20 * t));
        }
    // Blades, drawn at every wrapped offset so the tile stays seamless.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 900; ++i)
    {
        const double x = rng.Range(0, 128), y = rng.Range(0, 128);
        const double len = rng.Range(3, 8), lean = rng.Range(-0.6, 0.6);
        const double shade = rng.Unit();
        const int r = int(50 + 60 * shade), g = int(95 + 70 * shade), b = int(30 + 25 * shade);
        for (int oy = -128; oy <= 128; oy += 128)
            for (int ox = -128; ox <= 128; ox += 128)
            {
                cairo_move_to(cr, x + ox, y + oy);
                cairo_line_to(cr, x + ox + lean * len, y + oy - len);
            }
        cairo_set_line_width(cr, rng.Range(0.8, 1.4));
        SetRgb(cr, r, g, b, 0.8);
        cairo_stroke(cr);
    }
    // A few pale flowers and pebbles.
    for (int i = 0; i < 12; ++i)
    {
        const double x = rng.Range(2, 126), y = rng.Range(2, 126);
        const bool flower = rng.Unit() < 0.6;
        SetRgb(cr, flower ? 235 : 140, flower ? 220 : 135, flower ? 120 : 120);
        cairo_arc(cr, x, y, flower ? 1.0 : 1.3, 0, 2 * PI);
        cairo_fill(cr);
    }
    return c.ComposeOpaque(Rgb{70, 110, 40}, true);
}

Image MakeWall()
{
    Rng rng(202);
    Canvas c(128, 128);
    cairo_t* cr = c.fg();
    // Four overlapping weatherboards, each a slightly different weathered brown.
    for (int i = 0; i < 4; ++i)
    {
        const double y = i * 32.0;
        const int tint = rng.Int(-14, 14);
        cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + 32);
        cairo_pattern_add_color_stop_rgb(p, 0, (150 + tint) / 255.0, (108 + tint) / 255.0,
                                         (68 + tint) / 255.0);
        cairo_pattern_add_color_stop_rgb(p, 1, (112 + tint) / 255.0, (76 + tint) / 255.0,
                                         (46 + tint) / 255.0);
        cairo_set_source(cr, p);
        cairo_rectangle(cr, 0, y, 128, 32);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        Grain(cr, rng, 0, y, 128, 30, 9);
        // Shadow under the overlap and a worn highlight on top.
        SetRgb(cr, 50, 32, 18);
        cairo_rectangle(cr, 0, y + 29, 128, 3);
        cairo_fill(cr);
        SetRgb(cr, 178, 138, 92);
        cairo_rectangle(cr, 0, y, 128, 1);
        cairo_fill(cr);
        // A knot and the nails.
        const double kx = rng.Range(15, 113), ky = y + rng.Range(9, 21);
        cairo_save(cr);
        cairo_translate(cr, kx, ky);
        cairo_scale(cr, 3.5, 2.0);
        cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
        cairo_restore(cr);
        SetRgb(cr, 72, 44, 22);
        cairo_fill(cr);
        for (double nx : {6.0, 122.0})
        {
            SetRgb(cr, 60, 58, 56);
            cairo_arc(cr, nx, y + 24, 1.3, 0, 2 * PI);
            cairo_fill(cr);
        }
    }
    // Corner posts at the tile's side edges, so neighbouring quads read as framed panels.
    for (double x : {0.0, 124.0})
    {
        SetRgb(cr, 86, 58, 34);
        cairo_rectangle(cr, x, 0, 4, 128);
        cairo_fill(cr);
    }
    return c.ComposeOpaque(Rgb{120, 85, 50}, true);
}

Image MakeBoard()
{
    Rng rng(303);
    Canvas c(128, 64);
    cairo_t* cr = c.fg();
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 64);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.78, 0.6, 0.38);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.72, 0.54, 0.33);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.56, 0.4, 0.23);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    Grain(cr, rng, 0, 4, 128, 56, 14);
    // Sawn edges and ends.
    cairo_set_line_width(cr, 3);
    SetRgb(cr, 70, 45, 24);
    cairo_rectangle(cr, 1.5, 1.5, 125, 61);
    cairo_stroke(cr);
    // Two nails at each end, with a hammer dent round each head.
    for (double nx : {10.0, 118.0})
        for (double ny : {18.0, 46.0})
        {
            SetRgb(cr, 110, 80, 50);
            cairo_arc(cr, nx, ny, 4.5, 0, 2 * PI);
            cairo_fill(cr);
            SetRgb(cr, 70, 72, 76);
            cairo_arc(cr, nx, ny, 2.6, 0, 2 * PI);
            cairo_fill(cr);
            SetRgb(cr, 150, 152, 158);
            cairo_arc(cr, nx - 0.8, ny - 0.8, 0.9, 0, 2 * PI);
            cairo_fill(cr);
        }
    return c.ComposeOpaque(Rgb{170, 125, 75}, true);
}

Image MakeTree()
{
    Rng rng(404);
    Canvas c(128, 128);
    cairo_t* cr = c.fg();
    // Trunk: the billboard's bottom edge is the ground.
    cairo_pattern_t* bark = cairo_pattern_create_linear(56, 0, 72, 0);
    cairo_pattern_add_color_stop_rgb(bark, 0, 0.28, 0.18, 0.1);
    cairo_pattern_add_color_stop_rgb(bark, 0.4, 0.45, 0.31, 0.18);
    cairo_pattern_add_color_stop_rgb(bark, 1, 0.22, 0.14, 0.08);
    cairo_set_source(cr, bark);
    cairo_move_to(cr, 57, 128);
    cairo_line_to(cr, 59, 90);
    cairo_line_to(cr, 69, 90);
    cairo_line_to(cr, 72, 128);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(bark);

    // Five tiers of ragged boughs, widest at the bottom.
    const int tiers = 5;
    for (int t = 0; t < tiers; ++t)
    {
        const double top = 2 + t * 18.0, bottom = 44 + t * 13.0;
        const double half = 20 + t * 10.5;
        cairo_move_to(cr, 64, top);
        const int teeth = 7 + t;
        for (int k = 0; k <= teeth; ++k)
        {
            const double s = double(k) / teeth;
            const double x = 64 + half * s, y = top + (bottom - top) * s;
            cairo_line_to(cr, x + rng.Range(-2, 2), y + rng.Range(-1, 2));
            if (k < teeth)
                cairo_line_to(cr, x - 4 + rng.Range(-1, 1), y + (bottom - top) / teeth * 0.6 + 2);
        }
        cairo_line_to(cr, 64, bottom - 4);
        for (int k = teeth; k >= 0; --k)
        {
            const double s = double(k) / teeth;
            const double x = 64 - half * s, y = top + (bottom - top) * s;
            if (k < teeth)
                cairo_line_to(cr, x + 4 + rng.Range(-1, 1), y + (bottom - top) / teeth * 0.6 + 2);
            cairo_line_to(cr, x + rng.Range(-2, 2), y + rng.Range(-1, 2));
        }
        cairo_close_path(cr);
        cairo_pattern_t* leaf = cairo_pattern_create_linear(64 - half, 0, 64 + half, 0);
        cairo_pattern_add_color_stop_rgb(leaf, 0, 0.08, 0.24, 0.12);
        cairo_pattern_add_color_stop_rgb(leaf, 0.55, 0.16, 0.38, 0.17);
        cairo_pattern_add_color_stop_rgb(leaf, 1, 0.1, 0.28, 0.13);
        cairo_set_source(cr, leaf);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(leaf);
        // Needle texture inside the tier.
        cairo_save(cr);
        cairo_clip(cr);
        for (int k = 0; k < 140; ++k)
        {
            const double x = rng.Range(64 - half, 64 + half), y = rng.Range(top, bottom);
            const double l = rng.Unit();
            SetRgb(cr, int(20 + 50 * l), int(60 + 70 * l), int(25 + 30 * l), 0.7);
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x + rng.Range(-3, 3), y + rng.Range(1, 4));
            cairo_set_line_width(cr, 1.0);
            cairo_stroke(cr);
        }
        // Shade under the tier above.
        cairo_pattern_t* sh = cairo_pattern_create_linear(0, top, 0, top + 10);
        cairo_pattern_add_color_stop_rgba(sh, 0, 0.02, 0.08, 0.04, t ? 0.6 : 0.0);
        cairo_pattern_add_color_stop_rgba(sh, 1, 0.02, 0.08, 0.04, 0.0);
        cairo_set_source(cr, sh);
        cairo_paint(cr);
        cairo_pattern_destroy(sh);
        cairo_restore(cr);
    }
    return c.ComposeKeyed();
}

Image MakeZombie()
{
    // The game shows only the top-left 60 x 155 texels; everything else stays white.
    Canvas c(64, 256);
    cairo_t* cr = c.fg();
    cairo_rectangle(cr, 0, 0, 60, 155);
    cairo_clip(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const auto outline = [&](int r, int g, int b)
    {
        SetRgb(cr, r, g, b);
        cairo_fill_preserve(cr);
        SetRgb(cr, 22, 20, 16);
        cairo_set_line_width(cr, 1.6);
        cairo_stroke(cr);
    };
    // Legs and ragged trousers.
    cairo_move_to(cr, 18, 92);
    cairo_line_to(cr, 42, 92);
    cairo_line_to(cr, 44, 142);
    cairo_line_to(cr, 34, 143);
    cairo_line_to(cr, 31, 108);
    cairo_line_to(cr, 28, 108);
    cairo_line_to(cr, 26, 143);
    cairo_line_to(cr, 16, 142);
    cairo_close_path(cr);
    outline(62, 58, 80);
    // Shoes.
    cairo_rectangle(cr, 14, 141, 13, 8);
    outline(45, 33, 25);
    cairo_rectangle(cr, 33, 141, 13, 8);
    outline(45, 33, 25);
    // Arms reaching forward and out, drawn before the shirt so the shoulders cover them.
    for (int side : {-1, 1})
    {
        const double sx = 30 + side * 13;
        cairo_move_to(cr, sx - 3 * side, 42);
        cairo_line_to(cr, sx + 12 * side, 58);
        cairo_line_to(cr, sx + 14 * side, 78);
        cairo_line_to(cr, sx + 8 * side, 79);
        cairo_line_to(cr, sx + 6 * side, 62);
        cairo_line_to(cr, sx - 1 * side, 56);
        cairo_close_path(cr);
        outline(108, 132, 86);
        // Clawed hand.
        cairo_arc(cr, sx + 11 * side, 82, 4.5, 0, 2 * PI);
        outline(96, 122, 76);
    }
    // Torn shirt.
    cairo_move_to(cr, 16, 40);
    cairo_line_to(cr, 44, 40);
    cairo_line_to(cr, 45, 96);
    cairo_line_to(cr, 40, 91);
    cairo_line_to(cr, 35, 98);
    cairo_line_to(cr, 30, 92);
    cairo_line_to(cr, 24, 99);
    cairo_line_to(cr, 19, 92);
    cairo_line_to(cr, 15, 96);
    cairo_close_path(cr);
    outline(118, 92, 60);
    // Rips showing skin, and a dark stain.
    SetRgb(cr, 100, 124, 80);
    cairo_move_to(cr, 22, 56);
    cairo_line_to(cr, 27, 60);
    cairo_line_to(cr, 21, 66);
    cairo_fill(cr);
    SetRgb(cr, 92, 26, 20);
    cairo_arc(cr, 36, 70, 4, 0, 2 * PI);
    cairo_fill(cr);
    // Neck and lolling head.
    cairo_rectangle(cr, 26, 32, 8, 10);
    outline(100, 126, 82);
    cairo_save(cr);
    cairo_translate(cr, 31, 21);
    cairo_rotate(cr, 0.12);
    cairo_scale(cr, 10, 13);
    cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
    cairo_restore(cr);
    outline(118, 142, 94);
    // Matted hair.
    cairo_move_to(cr, 21, 16);
    cairo_curve_to(cr, 22, 4, 40, 4, 41, 16);
    cairo_line_to(cr, 37, 12);
    cairo_line_to(cr, 33, 15);
    cairo_line_to(cr, 28, 11);
    cairo_line_to(cr, 24, 15);
    cairo_close_path(cr);
    outline(48, 38, 28);
    // Sunken eyes with a red glint, and a gaping mouth.
    for (double ex : {26.5, 35.5})
    {
        SetRgb(cr, 30, 34, 24);
        cairo_arc(cr, ex, 21, 3.2, 0, 2 * PI);
        cairo_fill(cr);
        SetRgb(cr, 230, 40, 30);
        cairo_arc(cr, ex, 21, 1.4, 0, 2 * PI);
        cairo_fill(cr);
    }
    SetRgb(cr, 40, 16, 14);
    cairo_save(cr);
    cairo_translate(cr, 31.5, 29);
    cairo_scale(cr, 3.5, 2.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
    cairo_restore(cr);
    cairo_fill(cr);
    return c.ComposeKeyed();
}

} // namespace worldgen
