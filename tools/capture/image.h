// Frames as the tool keeps them: 8-bit RGB, top row first.
#pragma once
#include <string>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The file appears whole or not at all (scratch_file.h).
bool write_png(const std::string &path, const Image &image, std::string &error);
// The same from RGB rows as GL reads them, bottom row first: the writer walks them backwards.
bool write_png_bottom_up(const std::string &path, int width, int height, const unsigned char *rgb,
                         std::string &error);
// Compression of every PNG written from now on: zlib's level, 0 (stored) to 9 (smallest).
void set_png_level(int level);
// Area-averaged downscale (or upscale) to the given size.
Image resize_image(const Image &image, int width, int height);
// Copies `part` into `into` with its top-left corner at (x, y); parts outside are clipped.
void paste_image(Image &into, const Image &part, int x, int y);
