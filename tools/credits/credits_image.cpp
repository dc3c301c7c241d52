#include "credits_image.h"

#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace credits {

const Line Lines[StripCount] = {
    {"avada kedabra!", "DejaVuSerif-Bold.ttf", 118.0},
    {"a spell of light at dusk", "DejaVuSerif.ttf", 84.0},
    {"code  \xc2\xb7  nightjar", "DejaVuSans-Bold.ttf", 88.0},
    {"graphics  \xc2\xb7  foxglove", "DejaVuSans-Bold.ttf", 88.0},
    {"music  \xc2\xb7  owlsong", "DejaVuSans-Bold.ttf", 88.0},
    {"cast in one long evening", "DejaVuSans.ttf", 84.0},
    {"greetings to all who", "DejaVuSerif.ttf", 88.0},
    {"keep a light on in the dark", "DejaVuSerif.ttf", 88.0},
};

int strip_first_row(int strip) {
    return static_cast<int>(std::ceil(CreditsStripStart[strip] * ImageSize - 0.5));
}

int strip_end_row(int strip) {
    return static_cast<int>(
        std::ceil((CreditsStripStart[strip] + CreditsStripHeight) * ImageSize - 0.5));
}

namespace {

// Decodes the two-byte UTF-8 sequences the lines use; everything else is ASCII.
std::vector<int> code_points(const char *text) {
    std::vector<int> points;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c; ++c) {
        if ((c[0] & 0xe0) == 0xc0 && c[1]) {
            points.push_back(((c[0] & 0x1f) << 6) | (c[1] & 0x3f));
            ++c;
        } else {
            points.push_back(c[0]);
        }
    }
    return points;
}

struct Font {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
};

bool load_font(const std::string &path, Font &font) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    font.data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    const unsigned char *data = font.data.data();
    return !font.data.empty() &&
           stbtt_InitFont(&font.info, data, stbtt_GetFontOffsetForIndex(data, 0));
}

// Coverage of one strip's line, written with max() so that overlapping glyphs stay opaque.
// Returns an error text, empty on success.
std::string draw_line(const Font &font, const Line &line, int strip, std::vector<uint8_t> &alpha) {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font.info, &ascent, &descent, &gap);
    const float scale_y = static_cast<float>(line.height / (ascent - descent));
    const float scale_x = static_cast<float>(scale_y / VerticalStretch);
    const std::vector<int> points = code_points(line.text);

    // Pen positions at sub-texel precision, kerned.
    std::vector<float> pen(points.size());
    float x = 0.0f;
    for (size_t i = 0; i < points.size(); ++i) {
        pen[i] = x;
        int advance = 0, bearing = 0;
        stbtt_GetCodepointHMetrics(&font.info, points[i], &advance, &bearing);
        x += advance * scale_x;
        if (i + 1 < points.size())
            x += stbtt_GetCodepointKernAdvance(&font.info, points[i], points[i + 1]) * scale_x;
    }
    const float width = x;

    // Centred on the window, the ink centred in the strip.
    const double centre = LetteringCentre * ImageSize;
    const float origin_x = static_cast<float>(std::floor(centre - 0.5 * width));
    struct Placed {
        int code_point, whole, x0, y0, x1, y1;
        float shift;
    };
    std::vector<Placed> glyphs;
    int ink_top = 0, ink_bottom = 0; // below the baseline is positive, as stb_truetype counts
    for (size_t i = 0; i < points.size(); ++i) {
        const float gx = origin_x + pen[i];
        Placed g{points[i], static_cast<int>(std::floor(gx)), 0, 0, 0, 0, 0.0f};
        g.shift = gx - g.whole;
        stbtt_GetCodepointBitmapBoxSubpixel(&font.info, g.code_point, scale_x, scale_y, g.shift,
                                            0.0f, &g.x0, &g.y0, &g.x1, &g.y1);
        if (g.x1 <= g.x0 || g.y1 <= g.y0) continue; // spaces
        if (glyphs.empty() || g.y0 < ink_top) ink_top = g.y0;
        if (glyphs.empty() || g.y1 > ink_bottom) ink_bottom = g.y1;
        glyphs.push_back(g);
    }
    const int first = strip_first_row(strip), end = strip_end_row(strip);
    // Image rows run upwards; the ink spans rows baseline - ink_bottom to baseline - ink_top - 1.
    const int baseline = (first + end + ink_top + ink_bottom) / 2;

    const int left_limit = static_cast<int>(std::ceil(LetteringLeft * ImageSize));
    const int right_limit = static_cast<int>(std::floor(LetteringRight * ImageSize));
    if (baseline - ink_bottom < first + StripMargin || baseline - ink_top > end - StripMargin)
        return std::string("line too tall for its strip: ") + line.text;
    for (const Placed &g : glyphs) {
        const int w = g.x1 - g.x0, h = g.y1 - g.y0;
        if (g.whole + g.x0 < left_limit || g.whole + g.x1 > right_limit)
            return std::string("line too wide: ") + line.text;
        std::vector<unsigned char> glyph(static_cast<size_t>(w) * h);
        stbtt_MakeCodepointBitmapSubpixel(&font.info, glyph.data(), w, h, w, scale_x, scale_y,
                                          g.shift, 0.0f, g.code_point);
        const int top_row = baseline - g.y0 - 1;
        for (int gy = 0; gy < h; ++gy) {
            const size_t row = static_cast<size_t>(top_row - gy) * ImageSize;
            for (int gx = 0; gx < w; ++gx) {
                uint8_t &a = alpha[row + g.whole + g.x0 + gx];
                a = std::max(a, glyph[static_cast<size_t>(gy) * w + gx]);
            }
        }
    }
    return {};
}

} // namespace

Image render(const std::string &font_dir) {
    Image image;
    std::vector<uint8_t> alpha(static_cast<size_t>(ImageSize) * ImageSize, 0);
    for (int strip = 0; strip < StripCount; ++strip) {
        Font font;
        const std::string path = font_dir + "/" + Lines[strip].font;
        if (!load_font(path, font)) {
            image.error = "cannot read the font " + path;
            return image;
        }
        image.error = draw_line(font, Lines[strip], strip, alpha);
        if (!image.error.empty()) return image;
    }
    // White where there is any coverage, transparent black elsewhere.
    image.pixels.assign(alpha.size() * 4, 0);
    for (size_t i = 0; i < alpha.size(); ++i) {
        if (alpha[i] == 0) continue;
        image.pixels[i * 4 + 0] = 255;
        image.pixels[i * 4 + 1] = 255;
        image.pixels[i * 4 + 2] = 255;
        image.pixels[i * 4 + 3] = alpha[i];
    }
    return image;
}

std::vector<uint8_t> encode_tga(const std::vector<uint8_t> &bgra, int width, int height) {
    std::vector<uint8_t> file(18 + bgra.size(), 0);
    file[2] = 2; // uncompressed true colour
    file[12] = static_cast<uint8_t>(width & 0xff);
    file[13] = static_cast<uint8_t>(width >> 8);
    file[14] = static_cast<uint8_t>(height & 0xff);
    file[15] = static_cast<uint8_t>(height >> 8);
    file[16] = 32;
    file[17] = 8; // eight alpha bits, rows stored bottom first
    std::copy(bgra.begin(), bgra.end(), file.begin() + 18);
    return file;
}

} // namespace credits
