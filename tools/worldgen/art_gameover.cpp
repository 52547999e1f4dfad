// The two full-screen pictures that end a game. They are drawn opaque.
#include "art.h"
#include "Types3d/Types3d.h"
#include "canvas.h"
#include "rng.h"

#include <cmath>

namespace worldgen
{

namespace
{

void Ridge(cairo_t* cr, Rng& rng, double base, double rough, int r, int g, int b)
{
    cairo_move_to(cr, 0, 480);
    for (double x = 0; x <= 640; x += 8)
        cairo_line_to(cr, x,
                      base + rough * std::sin(x * 0.011 + rng.Range(0, 0.2)) +
                          0.4 * rough * std::sin(x * 0.037));
    cairo_line_to(cr, 640, 480);
    cairo_close_path(cr);
    SetRgb(cr, r, g, b);
    cairo_fill(cr);
}

void Pine(cairo_t* cr, double x, double ground, double h, int r, int g, int b)
{
    cairo_move_to(cr, x, ground - h);
    for (int k = 1; k <= 4; ++k)
    {
        const double y = ground - h + h * 0.85 * k / 4, w = h * 0.09 * k + 3;
        cairo_line_to(cr, x + w, y);
        cairo_line_to(cr, x + w * 0.45, y - h * 0.04);
    }
    cairo_line_to(cr, x + 2, ground);
    cairo_line_to(cr, x - 2, ground);
    for (int k = 4; k >= 1; --k)
    {
        const double y = ground - h + h * 0.85 * k / 4, w = h * 0.09 * k + 3;
        cairo_line_to(cr, x - w * 0.45, y - h * 0.04);
        cairo_line_to(cr, x - w, y);
    }
    cairo_close_path(cr);
    SetRgb(cr, r, g, b);
    cairo_fill(cr);
}

// A shambling figure in silhouette, arms out, with two lit eyes.
void Shambler(cairo_t* cr, double x, double ground, double h, double lean)
{
    cairo_save(cr);
    cairo_translate(cr, x, ground);
    cairo_scale(cr, h / 100.0, h / 100.0);
    cairo_rotate(cr, lean);
    cairo_move_to(cr, -12, 0);
    cairo_line_to(cr, -9, -45);
    cairo_line_to(cr, -16, -52);
    cairo_line_to(cr, -30, -38);
    cairo_line_to(cr, -38, -42);
    cairo_line_to(cr, -24, -72);
    cairo_line_to(cr, -14, -80);
    cairo_line_to(cr, 14, -80);
    cairo_line_to(cr, 26, -72);
    cairo_line_to(cr, 46, -58);
    cairo_line_to(cr, 42, -51);
    cairo_line_to(cr, 16, -56);
    cairo_line_to(cr, 10, -45);
    cairo_line_to(cr, 13, 0);
    cairo_line_to(cr, 4, 0);
    cairo_line_to(cr, 0, -38);
    cairo_line_to(cr, -4, 0);
    cairo_close_path(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 2, -90, 11, 0, 2 * PI);
    SetRgb(cr, 8, 10, 12);
    cairo_fill(cr);
    SetRgb(cr, 230, 40, 30);
    for (double ex : {-2.5, 6.5})
    {
        cairo_arc(cr, ex, -91, 1.8, 0, 2 * PI);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void Caption(cairo_t* cr, const std::string& title, const std::string& line, double y)
{
    UseFont(cr, Face::SerifBold, 34);
    cairo_text_extents_t e;
    cairo_text_extents(cr, title.c_str(), &e);
    if (e.width > 600)
        UseFont(cr, Face::SerifBold, 34 * 600 / e.width);
    CentredTextPath(cr, title, 320, y);
    OutlinedText(cr, 2.5, 0.02, 0.02, 0.04, 0.93, 0.88, 0.74);
    UseFont(cr, Face::Sans, 17);
    CentredTextPath(cr, line, 320, y + 40);
    OutlinedText(cr, 1.5, 0.02, 0.02, 0.04, 0.78, 0.76, 0.7);
    UseFont(cr, Face::Sans, 13);
    CentredTextPath(cr, "Press Esc to quit", 320, y + 70);
    SetRgb(cr, 150, 150, 150);
    cairo_fill(cr);
}

} // namespace

Image MakeGameOverOutside()
{
    Rng rng(505);
    Canvas c(640, 480);
    cairo_t* cr = c.fg();
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, 330);
    cairo_pattern_add_color_stop_rgb(sky, 0, 0.02, 0.03, 0.09);
    cairo_pattern_add_color_stop_rgb(sky, 1, 0.12, 0.14, 0.26);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    for (int k = 0; k < 160; ++k)
    {
        const double l = rng.Unit();
        SetRgb(cr, int(150 + 90 * l), int(150 + 90 * l), int(170 + 70 * l), 0.5 + 0.5 * l);
        cairo_arc(cr, rng.Range(0, 640), rng.Range(0, 300), 0.5 + 0.9 * l, 0, 2 * PI);
        cairo_fill(cr);
    }
    // Moon with a soft halo.
    cairo_pattern_t* halo = cairo_pattern_create_radial(566, 58, 16, 566, 58, 90);
    cairo_pattern_add_color_stop_rgba(halo, 0, 0.8, 0.82, 0.7, 0.35);
    cairo_pattern_add_color_stop_rgba(halo, 1, 0.8, 0.82, 0.7, 0.0);
    cairo_set_source(cr, halo);
    cairo_paint(cr);
    cairo_pattern_destroy(halo);
    cairo_arc(cr, 566, 58, 27, 0, 2 * PI);
    SetRgb(cr, 226, 222, 190);
    cairo_fill(cr);
    SetRgb(cr, 200, 196, 166);
    const double craters[3][3] = {{556, 50, 6}, {574, 68, 4}, {576, 48, 3}};
    for (const auto& m : craters)
    {
        cairo_arc(cr, m[0], m[1], m[2], 0, 2 * PI);
        cairo_fill(cr);
    }
    Ridge(cr, rng, 300, 22, 22, 30, 44);
    for (int k = 0; k < 40; ++k)
        Pine(cr, rng.Range(0, 640), 312 + rng.Range(-10, 10), rng.Range(30, 60), 16, 24, 32);
    // The house, out of reach, its windows lit.
    SetRgb(cr, 12, 14, 20);
    cairo_rectangle(cr, 92, 262, 78, 52);
    cairo_fill(cr);
    cairo_move_to(cr, 84, 264);
    cairo_line_to(cr, 131, 232);
    cairo_line_to(cr, 178, 264);
    cairo_close_path(cr);
    cairo_fill(cr);
    SetRgb(cr, 240, 190, 80);
    cairo_rectangle(cr, 104, 278, 14, 14);
    cairo_rectangle(cr, 143, 278, 14, 14);
    cairo_fill(cr);
    Ridge(cr, rng, 380, 16, 10, 14, 18);
    Shambler(cr, 250, 400, 110, -0.05);
    Shambler(cr, 380, 410, 125, 0.08);
    Shambler(cr, 470, 395, 95, -0.12);
    Shambler(cr, 560, 420, 140, 0.05);
    SetRgb(cr, 4, 5, 8);
    cairo_rectangle(cr, 0, 420, 640, 60);
    cairo_fill(cr);
    Caption(cr, "Night fell while you were outside",
            "No one lasts a night in the open. Find a house before dark.", 120);
    return c.ComposeOpaque(Rgb{0, 0, 0}, false);
}

Image MakeGameOverKilled()
{
    Rng rng(606);
    Canvas c(640, 480);
    cairo_t* cr = c.fg();
    cairo_pattern_t* glow = cairo_pattern_create_radial(320, 200, 30, 320, 240, 420);
    cairo_pattern_add_color_stop_rgb(glow, 0, 0.42, 0.04, 0.04);
    cairo_pattern_add_color_stop_rgb(glow, 0.6, 0.16, 0.01, 0.02);
    cairo_pattern_add_color_stop_rgb(glow, 1, 0.02, 0.0, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    // Claw marks raked across the picture.
    for (int k = 0; k < 4; ++k)
    {
        const double x = 380 + k * 26;
        cairo_move_to(cr, x, 20 + k * 6);
        cairo_curve_to(cr, x + 30, 120, x + 50, 200, x + 40, 300 - k * 10);
        cairo_curve_to(cr, x + 48, 200, x + 36, 120, x + 8, 20 + k * 6);
        cairo_close_path(cr);
        SetRgb(cr, 16, 2, 2);
        cairo_fill(cr);
    }
    // Hands reaching up from below.
    for (int k = 0; k < 7; ++k)
    {
        const double x = 40 + k * 95 + rng.Range(-20, 20), top = 330 + rng.Range(-30, 40);
        const double lean = rng.Range(-0.25, 0.25);
        cairo_save(cr);
        cairo_translate(cr, x, 480);
        cairo_rotate(cr, lean);
        const double h = 480 - top;
        cairo_move_to(cr, -16, 0);
        cairo_line_to(cr, -12, -h + 40);
        for (int f = 0; f < 4; ++f)
        {
            const double fx = -14 + f * 9;
            cairo_line_to(cr, fx - 2, -h + 26 - (f == 1 || f == 2 ? 14 : 0));
            cairo_line_to(cr, fx + 2, -h + 24 - (f == 1 || f == 2 ? 14 : 0));
            cairo_line_to(cr, fx + 5, -h + 40);
        }
        cairo_line_to(cr, 24, -h + 58);
        cairo_line_to(cr, 16, -h + 52);
        cairo_line_to(cr, 16, 0);
        cairo_close_path(cr);
        SetRgb(cr, 8, 10, 6);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    Caption(cr, "Killed by the zombies", "The boards gave way and the night was long.", 150);
    return c.ComposeOpaque(Rgb{0, 0, 0}, false);
}

} // namespace worldgen
