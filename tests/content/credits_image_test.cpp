// The committed credits image: its file format, where the lettering lies, and that the generator
// still makes exactly these bytes.
#include "credits_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr int Size = credits::ImageSize;

TEST(CreditsImage, IsTheGeneratorsTgaWithWhiteLetteringInsideItsStrips) {
    std::ifstream stream(DEMO_SOURCE_DIR "/data/credits.tga", std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(stream), {}};
    ASSERT_EQ(file.size(), 18u + 4u * Size * Size);
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 32, 8};
    EXPECT_TRUE(std::equal(header, header + 18, file.begin()))
        << "not an uncompressed 32-bit TGA with the origin bottom left";
    const int left = static_cast<int>(credits::LetteringLeft * Size);
    const int right = static_cast<int>(credits::LetteringRight * Size);
    long outside = 0, not_white = 0, not_clear = 0;
    std::vector<long> solid(credits::StripCount, 0);
    for (int row = 0; row < Size; ++row) {
        // Mipmapped, the cards blend neighbouring rows: lettering on a strip's edge would bleed
        // into the next card or be cut off, so it keeps StripMargin rows from either edge.
        int strip = -1;
        for (int s = 0; s < credits::StripCount; ++s)
            if (row >= credits::strip_first_row(s) + credits::StripMargin &&
                row < credits::strip_end_row(s) - credits::StripMargin)
                strip = s;
        for (int column = 0; column < Size; ++column) {
            const uint8_t *bgra = &file[18 + (static_cast<size_t>(row) * Size + column) * 4];
            if (bgra[3] == 0) {
                not_clear += bgra[0] || bgra[1] || bgra[2];
                continue;
            }
            not_white += bgra[0] != 255 || bgra[1] != 255 || bgra[2] != 255;
            outside += strip < 0 || column < left || column >= right;
            if (strip >= 0 && bgra[3] > 128) ++solid[strip];
        }
    }
    EXPECT_EQ(outside, 0)
        << "lettering in a strip's margins, between strips or beyond 20 % to 95 %";
    EXPECT_EQ(not_white, 0) << "lettering that is not white";
    EXPECT_EQ(not_clear, 0) << "transparent texels that are not black";
    // A line of lettering covers thousands of texels; an empty or clipped strip far fewer.
    for (int strip = 0; strip < credits::StripCount; ++strip)
        EXPECT_GT(solid[strip], 3000) << "strip " << strip << " is (nearly) empty";

    const credits::Image image = credits::render(CREDITS_FONT_DIR);
    ASSERT_TRUE(image.error.empty()) << image.error;
    EXPECT_TRUE(credits::encode_tga(image.pixels, Size, Size) == file)
        << "regenerate data/credits.tga with build/credits-gen";
}

} // namespace
