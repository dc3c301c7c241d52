// Writes the credits image: credits-gen [OUTPUT] (default data/credits.tga).
#include "credits_image.h"

#include <cstdio>
#include <cstring>
#include <fstream>

int main(int argc, char **argv) {
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        bool help = argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"));
        std::fprintf(help ? stdout : stderr,
                     "usage: credits-gen [OUTPUT.tga]\n"
                     "Draws the credits lettering into a 1024 x 1024 32-bit TGA (default\n"
                     "data/credits.tga). The output is the same byte for byte on every run.\n");
        return help ? 0 : 2;
    }
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
