#include "platform/web/box_filter_mipmaps.h"

#include <cstddef>

std::vector<unsigned char> next_mipmap_level(const unsigned char *pixels, int size) {
    const std::size_t half = static_cast<std::size_t>(size) / 2, row = std::size_t(size) * 4;
    std::vector<unsigned char> out(half * half * 4);
    for (std::size_t y = 0; y < half; ++y)
        for (std::size_t x = 0; x < half * 4; ++x) {
            const unsigned char *p = pixels + 2 * y * row + (x / 4 * 8 + x % 4);
            out[y * half * 4 + x] =
                static_cast<unsigned char>((p[0] + p[4] + p[row] + p[row + 4] + 2) / 4);
        }
    return out;
}
