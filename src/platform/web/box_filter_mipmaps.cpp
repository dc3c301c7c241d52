#include "platform/web/box_filter_mipmaps.h"

#include <cstddef>

std::vector<unsigned char> next_mipmap_level(const unsigned char *pixels, int width, int height) {
    const int w = width > 1 ? width / 2 : 1, h = height > 1 ? height / 2 : 1;
    std::vector<unsigned char> out(static_cast<std::size_t>(w) * h * 4);
    // Steps to the block's other column and row; 0 along a side of 1, which is taken once.
    const std::size_t dx = width > 1 ? 4 : 0,
                      dy = height > 1 ? static_cast<std::size_t>(width) * 4 : 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c) {
                const unsigned char *p =
                    pixels +
                    (static_cast<std::size_t>(y) * (dy ? 2 : 1) * width + x * (dx ? 2 : 1)) * 4 + c;
                unsigned sum = p[0] + p[dx] + p[dy] + p[dx + dy];
                out[(static_cast<std::size_t>(y) * w + x) * 4 + c] =
                    static_cast<unsigned char>(dx && dy ? (sum + 2) / 4 : sum / 4);
            }
    return out;
}
