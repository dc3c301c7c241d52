// The credits image: eight strips of lettering that scene 1's cards show in pairs.
#pragma once
#include "gfx/credits_strips.h"

#include <cstdint>
#include <string>
#include <vector>

namespace credits {

constexpr int ImageSize = 1024;
// The strips' places are the core's (gfx/credits_strips.h), shared with scene 1.
constexpr int StripCount = CreditsStripCount;
// A strip of 102.4 texels fills 7.5 % of a 16:9 window whose width shows all 1024 texels, so
// the cards squash it by 0.1 / (0.075 * 9 / 16); the glyphs are drawn that much taller.
constexpr double VerticalStretch = 0.1 / (0.075 * 9.0 / 16.0);
// The left 15 % of a strip lies beyond the window and the cards drift by about 3.5 %: lettering
// stays between these fractions of the width.
constexpr double LetteringLeft = 0.2;
constexpr double LetteringRight = 0.95;
// A card's left edge sits 0.3 clip units beyond the window's, so s = 0.65 is the window's centre.
constexpr double LetteringCentre = 0.65;
// Empty texels kept above and below the lettering inside a strip, for filtering and mipmaps.
constexpr int StripMargin = 8;

struct Line {
    const char *text;
    const char *font; // file name inside the font folder
    double height;    // ascent to descent of the font, in texel rows after the stretch
};

// The text of the eight strips, in CreditsStripStart's order.
extern const Line Lines[StripCount];

// The first and one-past-last texel rows inside strip i (row 0 is t = 0).
int strip_first_row(int strip);
int strip_end_row(int strip);

struct Image {
    // BGRA, bottom row first, as the TGA stores it.
    std::vector<uint8_t> pixels;
    std::string error; // empty on success
};

// Draws every line from the fonts in font_dir. Deterministic for the same font files.
Image render(const std::string &font_dir);

// The uncompressed 32-bit TGA file: 18-byte header, no ID, no colour map, bottom-left origin.
std::vector<uint8_t> encode_tga(const std::vector<uint8_t> &bgra, int width, int height);

} // namespace credits
