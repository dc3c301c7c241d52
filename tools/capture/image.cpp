#include "image.h"

#include "scratch_file.h"

#include <cstdlib>
#include <zlib.h>

// zlib deflates several times faster than stb's own compressor, at every level.
static unsigned char *zlib_deflate(unsigned char *data, int size, int *out_size, int level) {
    uLongf room = compressBound(static_cast<uLong>(size));
    auto *out = static_cast<unsigned char *>(std::malloc(room)); // stb frees it
    if (out && compress2(out, &room, data, static_cast<uLong>(size), level) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *out_size = static_cast<int>(room);
    return out;
}
#define STBIW_ZLIB_COMPRESS zlib_deflate
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// `top` is the first row of the picture; a negative stride walks a bottom-up buffer backwards.
bool write_rows(const std::string &path, int width, int height, const unsigned char *top,
                int stride, std::string &error) {
    const std::string scratch = scratch_path(path);
    errno = 0;
    if (!stbi_write_png(scratch.c_str(), width, height, 3, top, stride)) {
        error = "cannot write " + path + (errno ? std::string(": ") + std::strerror(errno) : "");
        std::remove(scratch.c_str());
        return false;
    }
    return put_in_place(scratch, path, error);
}

} // namespace

bool write_png(const std::string &path, const Image &image, std::string &error) {
    return write_rows(path, image.width, image.height, image.rgb.data(), image.width * 3, error);
}

bool write_png_bottom_up(const std::string &path, int width, int height, const unsigned char *rgb,
                         std::string &error) {
    const int row = width * 3;
    return write_rows(path, width, height, rgb + static_cast<std::size_t>(height - 1) * row, -row,
                      error);
}

void set_png_level(int level) {
    stbi_write_png_compression_level = level;
    // Trying every row filter costs half as much again as a fast deflate: the fast levels take
    // the "up" filter, which suits the smooth frames best; level 0 stores the rows as they are.
    stbi_write_force_png_filter = level == 0 ? 0 : level <= 2 ? 2 : -1;
}

Image resize_image(const Image &image, int width, int height) {
    Image out;
    out.width = width;
    out.height = height;
    out.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    stbir_resize_uint8(image.rgb.data(), image.width, image.height, image.width * 3, out.rgb.data(),
                       width, height, width * 3, 3);
    return out;
}

void paste_image(Image &into, const Image &part, int x, int y) {
    const int x0 = std::max(x, 0), x1 = std::min(x + part.width, into.width);
    if (x1 <= x0) return;
    for (int row = std::max(y, 0); row < std::min(y + part.height, into.height); ++row) {
        const unsigned char *from =
            &part.rgb[(static_cast<std::size_t>(row - y) * part.width + (x0 - x)) * 3];
        unsigned char *to = &into.rgb[(static_cast<std::size_t>(row) * into.width + x0) * 3];
        std::memcpy(to, from, static_cast<std::size_t>(x1 - x0) * 3);
    }
}
