#include "PngWriter.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <png.h>
#include <vector>

namespace {

struct PngWrite {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWrite() { png_destroy_write_struct(&png, &info); }
};

bool WriteRows(std::FILE* file, const std::uint8_t* rgba, int width, int height, int pitch) {
    PngWrite w;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!w.png)
        return false;
    w.info = png_create_info_struct(w.png);
    if (!w.info)
        return false;
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgba + static_cast<std::ptrdiff_t>(y) * pitch);
    if (setjmp(png_jmpbuf(w.png)))
        return false;
    png_init_io(w.png, file);
    png_set_IHDR(w.png, w.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(w.png, w.info);
    png_write_image(w.png, rows.data());
    png_write_end(w.png, nullptr);
    return true;
}

} // namespace

bool WritePng(const std::string& path, const std::uint8_t* rgba, int width, int height, int pitch,
              std::string& error) {
    if (width <= 0 || height <= 0) {
        error = "the picture is empty";
        return false;
    }
    const std::string temporary = path + ".partial";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    const bool written = WriteRows(file, rgba, width, height, pitch);
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool WriteArgbPng(const std::string& path, const void* argb, int width, int height, int pitch, bool opaque,
                  std::string& error) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)) * 4);
    for (int y = 0; y < height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(argb) + static_cast<std::ptrdiff_t>(y) * pitch;
        std::uint8_t* out = &rgba[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4];
        for (int x = 0; x < width; ++x, out += 4, row += 4) {
            out[0] = row[2];
            out[1] = row[1];
            out[2] = row[0];
            out[3] = opaque ? 0xFF : row[3];
        }
    }
    return WritePng(path, rgba.data(), width, height, width * 4, error);
}
