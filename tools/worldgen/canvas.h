// Cairo drawing surfaces that end as key-coloured bitmaps.
#pragma once

#include "image.h"

#include <cairo.h>
#include <string>

namespace worldgen
{

// Two layers: the picture itself (anti-aliased, with alpha) and a mask of
// where the half-transparent key shows through. Composing snaps every pixel
// to either a solid colour or a key, so no blended fringe reaches the file.
class Canvas
{
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* fg() { return fgCr; }
    cairo_t* key() { return keyCr; }
    int width() const { return w; }
    int height() const { return h; }

    // Keyed: weak alpha becomes white, or magenta where the key mask is set.
    Image ComposeKeyed();
    // Opaque: the picture over `under`; pure white is nudged off the key when
    // `avoidWhite` is set (textures), left alone otherwise (screen pictures).
    Image ComposeOpaque(Rgb under, bool avoidWhite);

  private:
    int w, h;
    cairo_surface_t* fgSurf;
    cairo_surface_t* keySurf;
    cairo_t* fgCr;
    cairo_t* keyCr;
};

enum class Face
{
    Sans,
    SansBold,
    SerifBold,
    SansCondensedBold,
};

// Selects a DejaVu face from the system fonts; throws if it is missing.
void UseFont(cairo_t* cr, Face face, double size);

// Adds the outline of `text` to the path, its ink box centred on (cx, cy).
void CentredTextPath(cairo_t* cr, const std::string& text, double cx, double cy);

// Adds `text` to the path, stretched so its ink exactly fills the box.
void FittedTextPath(cairo_t* cr, const std::string& text, double x, double y, double bw, double bh);

// Text with a dark outline under a solid fill: the usual way to keep HUD
// lettering legible over any background.
void OutlinedText(cairo_t* cr, double outline, double r0, double g0, double b0, double r1,
                  double g1, double b1);

void SetRgb(cairo_t* cr, int r, int g, int b, double a = 1.0);

// Adds a rectangle with corners rounded to radius r to the path, as a closed sub-path.
void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r);

} // namespace worldgen
