// Screen images: the axe in hand, the clock and wood counters, banners and
// the boarding panel.
#include "art.h"
#include "Types3d/Types3d.h"
#include "canvas.h"

#include <cmath>

namespace worldgen
{

namespace
{

void Ink(cairo_t* cr, double width)
{
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    SetRgb(cr, 24, 18, 12);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

// An axe in its own frame: the grip end of the handle at (0, 0), the handle
// running up to the head at y = -400, the blade to the left.
void DrawAxe(cairo_t* cr)
{
    // Handle, a little waisted, with a knob at the end.
    cairo_move_to(cr, -13, 10);
    cairo_curve_to(cr, -10, -150, -9, -250, -11, -405);
    cairo_line_to(cr, 11, -405);
    cairo_curve_to(cr, 9, -250, 10, -150, 13, 10);
    cairo_curve_to(cr, 16, 22, -16, 22, -13, 10);
    cairo_close_path(cr);
    cairo_pattern_t* wood = cairo_pattern_create_linear(-13, 0, 13, 0);
    cairo_pattern_add_color_stop_rgb(wood, 0, 0.42, 0.26, 0.13);
    cairo_pattern_add_color_stop_rgb(wood, 0.35, 0.72, 0.5, 0.28);
    cairo_pattern_add_color_stop_rgb(wood, 1, 0.36, 0.22, 0.11);
    cairo_set_source(cr, wood);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(wood);
    Ink(cr, 3);
    cairo_set_line_width(cr, 1.2);
    SetRgb(cr, 90, 58, 30, 0.6);
    for (double x : {-5.0, 3.0})
    {
        cairo_move_to(cr, x, -20);
        cairo_curve_to(cr, x + 2, -150, x - 2, -260, x, -330);
        cairo_stroke(cr);
    }

    // Head: the eye round the handle, the poll behind, the cheek flaring to the bit.
    cairo_move_to(cr, 40, -398);
    cairo_line_to(cr, 40, -345);
    cairo_line_to(cr, -16, -338);
    cairo_curve_to(cr, -50, -330, -80, -310, -104, -286);
    cairo_curve_to(cr, -128, -330, -128, -400, -108, -446);
    cairo_curve_to(cr, -84, -420, -52, -404, -16, -405);
    cairo_close_path(cr);
    cairo_pattern_t* steel = cairo_pattern_create_linear(-120, -430, 40, -340);
    cairo_pattern_add_color_stop_rgb(steel, 0, 0.82, 0.85, 0.88);
    cairo_pattern_add_color_stop_rgb(steel, 0.25, 0.6, 0.64, 0.68);
    cairo_pattern_add_color_stop_rgb(steel, 0.7, 0.36, 0.38, 0.42);
    cairo_pattern_add_color_stop_rgb(steel, 1, 0.22, 0.23, 0.26);
    cairo_set_source(cr, steel);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(steel);
    Ink(cr, 3.5);
    // The honed edge and a forge mark.
    cairo_move_to(cr, -104, -292);
    cairo_curve_to(cr, -124, -334, -124, -398, -106, -440);
    cairo_set_line_width(cr, 5);
    SetRgb(cr, 212, 218, 222);
    cairo_stroke(cr);
    cairo_move_to(cr, 20, -390);
    cairo_line_to(cr, 20, -352);
    cairo_set_line_width(cr, 2);
    SetRgb(cr, 50, 52, 56);
    cairo_stroke(cr);
}

// A gloved fist closed round the handle at the origin, knuckles to the left.
void DrawFist(cairo_t* cr, double scale)
{
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    // Back of the hand behind the handle.
    RoundedRectPath(cr, -14, -44, 44, 88, 16);
    SetRgb(cr, 112, 78, 46);
    cairo_fill_preserve(cr);
    Ink(cr, 3);
    // Four fingers wrapped across the front of the handle.
    for (int k = 0; k < 4; ++k)
    {
        RoundedRectPath(cr, -32, -40 + k * 20, 44, 20, 9);
        SetRgb(cr, 138, 98, 58);
        cairo_fill_preserve(cr);
        Ink(cr, 2.5);
        // Knuckle crease.
        cairo_move_to(cr, -20, -34 + k * 20);
        cairo_line_to(cr, -20, -26 + k * 20);
        SetRgb(cr, 84, 56, 30);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    // Thumb over the first finger.
    cairo_save(cr);
    cairo_translate(cr, -2, -44);
    cairo_rotate(cr, -0.25);
    cairo_scale(cr, 22, 10);
    cairo_arc(cr, 0, 0, 1, 0, 2 * PI);
    cairo_restore(cr);
    SetRgb(cr, 146, 104, 62);
    cairo_fill_preserve(cr);
    Ink(cr, 2.5);
    cairo_restore(cr);
}

// A sleeve from the wrist at (x0, y0) to a stretch of the image's edge.
void Sleeve(cairo_t* cr, double x0, double y0, double ax, double ay, double bx, double by)
{
    cairo_move_to(cr, x0 - 18, y0);
    cairo_line_to(cr, ax, ay);
    cairo_line_to(cr, bx, by);
    cairo_line_to(cr, x0 + 24, y0 - 10);
    cairo_close_path(cr);
    SetRgb(cr, 62, 72, 48);
    cairo_fill_preserve(cr);
    Ink(cr, 3);
}

} // namespace

Image MakeAxeIdle()
{
    Canvas c(210, 480);
    cairo_t* cr = c.fg();
    Sleeve(cr, 142, 420, 104, 480, 210, 480);
    cairo_save(cr);
    cairo_translate(cr, 126, 404);
    cairo_rotate(cr, 0.17);
    cairo_scale(cr, 0.86, 0.86);
    DrawAxe(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, 128, 392);
    cairo_rotate(cr, 0.17);
    DrawFist(cr, 0.9);
    cairo_restore(cr);
    return c.ComposeKeyed();
}

Image MakeAxeSwing()
{
    Canvas c(378, 218);
    cairo_t* cr = c.fg();
    // The grip low on the right, turned and scaled so the whole blade stays in the picture.
    const double cx = 340, cy = 180, turn = -1.1, scale = 0.75;
    // Trails behind the head as it comes down.
    cairo_t* k = c.key();
    cairo_set_line_cap(k, CAIRO_LINE_CAP_ROUND);
    const double trails[3][3] = {{285, 12, -2.52}, {252, 8, -2.45}, {219, 5, -2.35}};
    for (const auto& t : trails)
    {
        cairo_arc(k, cx, cy, t[0], t[2], -1.6);
        cairo_set_line_width(k, t[1]);
        cairo_stroke(k);
    }
    Sleeve(cr, cx + 12, cy + 8, 378, 218, 378, 150);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, turn);
    cairo_scale(cr, scale, scale);
    DrawAxe(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy - 4);
    cairo_rotate(cr, turn);
    DrawFist(cr, scale);
    cairo_restore(cr);
    return c.ComposeKeyed();
}

// The game draws every glyph from one top edge and their pictures differ in height, so the
// ink of each sits on one band, outline included, inside the shortest picture (the colon's):
// any number reads level.
constexpr double GLYPH_INK_TOP = 1.0, GLYPH_INK_BOTTOM = 24.0, GLYPH_OUTLINE = 3.5;
// Digits fill their pictures' widths but for this margin each side, outline included, so the
// pen leaves the same gap between any two.
constexpr double GLYPH_MARGIN = 2.25;

Image MakeDigit(char ch, int width, int height)
{
    Canvas c(width, height);
    cairo_t* cr = c.fg();
    UseFont(cr, Face::SansBold, 100);
    const double top = GLYPH_INK_TOP + GLYPH_OUTLINE / 2,
                 bottom = GLYPH_INK_BOTTOM - GLYPH_OUTLINE / 2;
    const std::string s(1, ch);
    if (ch == ':')
    {
        // The font's own proportions, at the digits' scale, standing on their baseline.
        cairo_text_extents_t digit, colon;
        cairo_text_extents(cr, "0", &digit);
        cairo_text_extents(cr, ":", &colon);
        const double scale = (bottom - top) / digit.height;
        const double w = colon.width * scale, h = colon.height * scale;
        FittedTextPath(cr, s, (width - w) / 2, bottom - h, w, h);
    }
    else
    {
        const double inset = GLYPH_MARGIN + GLYPH_OUTLINE / 2;
        FittedTextPath(cr, s, inset, top, width - 2 * inset, bottom - top);
    }
    cairo_pattern_t* p = cairo_pattern_create_linear(0, GLYPH_INK_TOP, 0, GLYPH_INK_BOTTOM);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.86, 0.42);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.9, 0.55, 0.16);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, GLYPH_OUTLINE);
    SetRgb(cr, 36, 22, 10);
    cairo_stroke_preserve(cr);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    return c.ComposeKeyed();
}

Image MakeWoodIcon()
{
    Canvas c(72, 68);
    cairo_t* cr = c.fg();
    const double logs[3][2] = {{19, 48}, {53, 48}, {36, 21}};
    for (const auto& l : logs)
    {
        const double x = l[0], y = l[1];
        cairo_arc(cr, x, y, 16.5, 0, 2 * PI);
        SetRgb(cr, 84, 54, 30);
        cairo_fill_preserve(cr);
        Ink(cr, 2.5);
        cairo_arc(cr, x, y, 12.5, 0, 2 * PI);
        SetRgb(cr, 214, 170, 108);
        cairo_fill(cr);
        cairo_set_line_width(cr, 1.2);
        SetRgb(cr, 150, 104, 58);
        for (double r : {3.0, 6.5, 10.0})
        {
            cairo_arc(cr, x + 0.6, y - 0.4, r, 0, 2 * PI);
            cairo_stroke(cr);
        }
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 8, y - 9);
        SetRgb(cr, 110, 70, 36);
        cairo_stroke(cr);
    }
    return c.ComposeKeyed();
}

Image MakeClockIcon()
{
    Canvas c(63, 63);
    cairo_t* cr = c.fg();
    const double cx = 31.5, cy = 31.5;
    cairo_arc(cr, cx, cy, 29, 0, 2 * PI);
    SetRgb(cr, 96, 66, 34);
    cairo_fill_preserve(cr);
    Ink(cr, 2.5);
    cairo_arc(cr, cx, cy, 23.5, 0, 2 * PI);
    SetRgb(cr, 232, 218, 172);
    cairo_fill(cr);
    for (int k = 0; k < 12; ++k)
    {
        const double a = k * PI / 6, r0 = k % 3 ? 19.5 : 16.5;
        cairo_move_to(cr, cx + r0 * std::cos(a), cy + r0 * std::sin(a));
        cairo_line_to(cr, cx + 22 * std::cos(a), cy + 22 * std::sin(a));
        cairo_set_line_width(cr, k % 3 ? 1.5 : 3);
        SetRgb(cr, 40, 30, 20);
        cairo_stroke(cr);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const double hands[2][3] = {{-2.2, 12, 3.5}, {-0.35, 18, 2.5}}; // hour, minute
    for (const auto& h : hands)
    {
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + h[1] * std::cos(h[0]), cy + h[1] * std::sin(h[0]));
        cairo_set_line_width(cr, h[2]);
        SetRgb(cr, 30, 22, 14);
        cairo_stroke(cr);
    }
    cairo_arc(cr, cx, cy, 2.5, 0, 2 * PI);
    SetRgb(cr, 170, 40, 30);
    cairo_fill(cr);
    return c.ComposeKeyed();
}

// A half-transparent band behind large lettering, framed above and below. The band stops
// short of the picture's sides: centred on the screen, the nightfall banner would otherwise
// cover the end of the health number on its left.
constexpr int BANNER_MARGIN = 24;

Image MakeBanner(const std::string& text, int width, int height, bool night)
{
    Canvas c(width, height);
    cairo_t* cr = c.fg();
    const double x0 = BANNER_MARGIN, band = width - 2.0 * BANNER_MARGIN;
    cairo_rectangle(c.key(), x0, 3, band, height - 6);
    cairo_set_source_rgba(c.key(), 0, 0, 0, 1);
    cairo_fill(c.key());
    const int fr = night ? 24 : 80, fg = night ? 30 : 50, fb = night ? 70 : 20;
    SetRgb(cr, fr, fg, fb);
    cairo_rectangle(cr, x0, 0, band, 3);
    cairo_rectangle(cr, x0, height - 3, band, 3);
    cairo_fill(cr);

    // Ornaments at both ends: crescent moons by night, rising suns by day.
    for (int side : {-1, 1})
    {
        const double ox = width / 2.0 + side * (band / 2.0 - 30), oy = height / 2.0;
        if (night)
        {
            cairo_arc(cr, ox, oy, 13, 0, 2 * PI);
            cairo_new_sub_path(cr);
            cairo_arc_negative(cr, ox + 6 * side, oy - 4, 11, 2 * PI, 0);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            SetRgb(cr, 200, 210, 150);
            cairo_fill_preserve(cr);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            Ink(cr, 2);
        }
        else
        {
            for (int k = 0; k < 8; ++k)
            {
                const double a = k * PI / 4;
                cairo_move_to(cr, ox + 10 * std::cos(a), oy + 10 * std::sin(a));
                cairo_line_to(cr, ox + 19 * std::cos(a), oy + 19 * std::sin(a));
            }
            cairo_set_line_width(cr, 3);
            SetRgb(cr, 220, 150, 40);
            cairo_stroke(cr);
            cairo_arc(cr, ox, oy, 8, 0, 2 * PI);
            SetRgb(cr, 250, 200, 70);
            cairo_fill_preserve(cr);
            Ink(cr, 2);
        }
    }

    UseFont(cr, Face::SerifBold, 40);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    const double fit = std::min((band - 110.0) / e.width, (height - 12.0) / e.height);
    UseFont(cr, Face::SerifBold, 40 * fit);
    CentredTextPath(cr, text, width / 2.0, height / 2.0);
    if (night)
        OutlinedText(cr, 2.2, 0.05, 0.06, 0.16, 0.62, 0.72, 0.95);
    else
        OutlinedText(cr, 2.2, 0.25, 0.12, 0.03, 1.0, 0.78, 0.28);
    return c.ComposeKeyed();
}

static Image TextPanel(int width, int height, const std::string& text, double size)
{
    Canvas c(width, height);
    cairo_t* cr = c.fg();
    const double r = height / 2.0 - 2;
    auto capsule = [&](cairo_t* t, double inset)
    {
        cairo_new_path(t);
        cairo_arc(t, r + 2, height / 2.0, r - inset, PI / 2, 3 * PI / 2);
        cairo_arc(t, width - r - 2, height / 2.0, r - inset, -PI / 2, PI / 2);
        cairo_close_path(t);
    };
    capsule(c.key(), 0);
    cairo_set_source_rgba(c.key(), 0, 0, 0, 1);
    cairo_fill(c.key());
    capsule(cr, 0);
    cairo_set_line_width(cr, 3);
    SetRgb(cr, 60, 40, 20);
    cairo_stroke(cr);
    UseFont(cr, Face::SansCondensedBold, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    if (e.width > width - 2 * r - 8)
        UseFont(cr, Face::SansCondensedBold, size * (width - 2 * r - 8) / e.width);
    CentredTextPath(cr, text, width / 2.0, height / 2.0);
    OutlinedText(cr, 2.0, 0.1, 0.07, 0.04, 0.96, 0.86, 0.62);
    return c.ComposeKeyed();
}

// Shown above the board count of the window the player stands at.
Image MakeBoardPanel()
{
    return TextPanel(340, 43, "Boards on this window", 24);
}

Image MakeBoardPrompt()
{
    return TextPanel(427, 35, "Right mouse or Space: nail a board (1 wood)", 20);
}

} // namespace worldgen
