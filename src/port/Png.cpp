// PNG files of RGBA pixels, for screenshots.
#include "port/Port.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>

namespace port
{
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba)
{
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * size_t(height) * 4)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png == nullptr || info == nullptr)
    {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    std::vector<png_const_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; y++)
        rows[static_cast<size_t>(y)] = rgba.data() + size_t(y) * size_t(width) * 4;
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        int error = errno;
        std::fclose(file);
        std::remove(path.c_str()); // never leave half a picture behind
        errno = error;
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_rows(png, const_cast<png_bytepp>(rows.data()), png_uint_32(height));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    bool ok = std::fflush(file) == 0;
    int error = errno;
    if (std::fclose(file) != 0 && ok)
    {
        ok = false;
        error = errno;
    }
    if (!ok)
    {
        std::remove(path.c_str());
        errno = error;
    }
    return ok;
}
} // namespace port
