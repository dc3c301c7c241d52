// Writes the credits image: credits-gen [OUTPUT] (default data/credits.tga).
#include "credits_image.h"

#include <cstdio>
#include <fstream>

int main(int argc, char **argv) {
    const char *out = argc > 1 ? argv[1] : "data/credits.tga";
    const credits::Image image = credits::render(CREDITS_FONT_DIR);
    if (!image.error.empty()) {
        std::fprintf(stderr, "credits-gen: %s\n", image.error.c_str());
        return 1;
    }
    const auto bytes = credits::encode_tga(image.pixels, credits::ImageSize, credits::ImageSize);
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "credits-gen: cannot write %s\n", out);
        return 1;
    }
    return 0;
}
