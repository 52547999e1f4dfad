// What the X server shows of a window, read back for the tests' comparisons with the frame
// the device drew.
#include "port/PortInternal.h"
#include "port/sdl/Xlib.h"

namespace port
{
namespace internal
{
bool DisplayReadWindow(SDL_Window* window, int* width, int* height, std::vector<uint8_t>* rgba)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    Xlib x;
    if (!x.Load(window))
        return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(window, &w, &h);
    x.sync(x.display, False); // whatever was sent to the window has arrived
    XImage* image =
        x.getImage(x.display, x.window, 0, 0, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    // A true-colour window of 32 bits a pixel, as every desktop's is.
    bool read = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 &&
                image->green_mask == 0xFF00 && image->blue_mask == 0xFF;
    if (read)
    {
        rgba->resize(size_t(w) * size_t(h) * 4);
        for (int y = 0; y < h; y++)
        {
            const uint8_t* in = reinterpret_cast<const uint8_t*>(image->data) +
                                size_t(y) * size_t(image->bytes_per_line);
            uint8_t* out = rgba->data() + size_t(y) * size_t(w) * 4;
            for (int i = 0; i < w; i++, out += 4)
            {
                uint32_t pixel = image->byte_order == LSBFirst
                                     ? uint32_t(in[4 * i]) | uint32_t(in[4 * i + 1]) << 8 |
                                           uint32_t(in[4 * i + 2]) << 16
                                     : uint32_t(in[4 * i + 3]) | uint32_t(in[4 * i + 2]) << 8 |
                                           uint32_t(in[4 * i + 1]) << 16;
                out[0] = uint8_t(pixel >> 16);
                out[1] = uint8_t(pixel >> 8);
                out[2] = uint8_t(pixel);
                out[3] = 0xFF;
            }
        }
        *width = w;
        *height = h;
    }
    XDestroyImage(image);
    return read;
#else
    (void)window, (void)width, (void)height, (void)rgba;
    return false;
#endif
}
} // namespace internal
} // namespace port
