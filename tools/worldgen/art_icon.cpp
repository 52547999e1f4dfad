// The program's icon for desktops: a house against the dusk, one window lit, the moon up.
#include "art.h"
#include "canvas.h"

#include <stdexcept>

namespace worldgen
{

void WriteIcon(const std::string& pngPath)
{
    const int size = 128;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);

    // The sky, from night above to the last of the day at the horizon, in a rounded square.
    RoundedRectPath(cr, 0, 0, size, size, 22);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, size);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.10, 0.18, 0.17);
    cairo_pattern_add_color_stop_rgb(sky, 0.7, 0.33, 0.28, 0.36);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.85, 0.52, 0.30);
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_clip(cr);
    cairo_pattern_destroy(sky);

    // The moon, and the hill the house stands on.
    SetRgb(cr, 240, 234, 200);
    cairo_arc(cr, 94, 32, 13, 0, 6.2832);
    cairo_fill(cr);
    SetRgb(cr, 22, 40, 24);
    cairo_move_to(cr, 0, 104);
    cairo_curve_to(cr, 40, 92, 88, 92, 128, 100);
    cairo_line_to(cr, 128, 128);
    cairo_line_to(cr, 0, 128);
    cairo_close_path(cr);
    cairo_fill(cr);

    // The house: walls, a hipped roof, a boarded window and a lit one.
    SetRgb(cr, 58, 40, 28);
    cairo_rectangle(cr, 30, 62, 56, 38);
    cairo_fill(cr);
    SetRgb(cr, 36, 24, 18);
    cairo_move_to(cr, 24, 64);
    cairo_line_to(cr, 42, 44);
    cairo_line_to(cr, 74, 44);
    cairo_line_to(cr, 92, 64);
    cairo_close_path(cr);
    cairo_fill(cr);
    SetRgb(cr, 255, 200, 90);
    cairo_rectangle(cr, 64, 72, 12, 12);
    cairo_fill(cr);
    SetRgb(cr, 140, 98, 60);
    cairo_set_line_width(cr, 3);
    for (double y : {72.0, 80.0})
    {
        cairo_move_to(cr, 38, y + 1);
        cairo_line_to(cr, 54, y + 4);
        cairo_stroke(cr);
    }

    cairo_destroy(cr);
    cairo_status_t written = cairo_surface_write_to_png(surface, pngPath.c_str());
    cairo_surface_destroy(surface);
    if (written != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + pngPath);
}

} // namespace worldgen
