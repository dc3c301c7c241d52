// The committed credits image: its file format, where the lettering lies, and that the generator
// still makes exactly these bytes.
#include "credits_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> committed_file() {
    std::ifstream file(DEMO_SOURCE_DIR "/data/credits.tga", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

constexpr int Size = credits::ImageSize;

const uint8_t *texel(const std::vector<uint8_t> &file, int row, int column) {
    return &file[18 + (static_cast<size_t>(row) * Size + column) * 4];
}

int strip_of_row(int row) {
    for (int strip = 0; strip < credits::StripCount; ++strip)
        if (row >= credits::strip_first_row(strip) && row < credits::strip_end_row(strip))
            return strip;
    return -1;
}

TEST(CreditsImage, IsAnUncompressed32BitTgaWithTheOriginBottomLeft) {
    const std::vector<uint8_t> file = committed_file();
    ASSERT_EQ(file.size(), 18u + 4u * Size * Size);
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 4, 32, 8};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(file[i], header[i]) << "header byte " << i;
}

TEST(CreditsImage, LetteringStaysInsideItsStripsAndTheVisibleSpan) {
    const std::vector<uint8_t> file = committed_file();
    ASSERT_EQ(file.size(), 18u + 4u * Size * Size);
    const int left = static_cast<int>(credits::LetteringLeft * Size);
    const int right = static_cast<int>(credits::LetteringRight * Size);
    long outside_strips = 0, outside_span = 0, not_white = 0, not_clear = 0;
    std::vector<long> solid(credits::StripCount, 0);
    for (int row = 0; row < Size; ++row) {
        const int strip = strip_of_row(row);
        for (int column = 0; column < Size; ++column) {
            const uint8_t *bgra = texel(file, row, column);
            if (bgra[3] == 0) {
                if (bgra[0] || bgra[1] || bgra[2]) ++not_clear;
                continue;
            }
            if (bgra[0] != 255 || bgra[1] != 255 || bgra[2] != 255) ++not_white;
            if (strip < 0) ++outside_strips;
            if (column < left || column >= right) ++outside_span;
            if (strip >= 0 && bgra[3] > 128) ++solid[strip];
        }
    }
    EXPECT_EQ(outside_strips, 0) << "texels with lettering between the strips";
    EXPECT_EQ(outside_span, 0) << "texels with lettering beyond 20 % to 95 % of the width";
    EXPECT_EQ(not_white, 0) << "lettering that is not white";
    EXPECT_EQ(not_clear, 0) << "transparent texels that are not black";
    // A line of lettering covers thousands of texels; an empty or clipped strip far fewer.
    for (int strip = 0; strip < credits::StripCount; ++strip)
        EXPECT_GT(solid[strip], 3000) << "strip " << strip << " is (nearly) empty";
}

TEST(CreditsImage, LeavesRoomAboveAndBelowEachLine) {
    const std::vector<uint8_t> file = committed_file();
    ASSERT_EQ(file.size(), 18u + 4u * Size * Size);
    // Mipmapped, the cards blend neighbouring rows: lettering on a strip's edge would bleed into
    // the next card or be cut off.
    for (int strip = 0; strip < credits::StripCount; ++strip) {
        const int first = credits::strip_first_row(strip), end = credits::strip_end_row(strip);
        for (int row = first; row < end; ++row) {
            if (row >= first + credits::StripMargin && row < end - credits::StripMargin) continue;
            for (int column = 0; column < Size; ++column)
                ASSERT_EQ(texel(file, row, column)[3], 0)
                    << "strip " << strip << " row " << row << " column " << column;
        }
    }
}

TEST(CreditsImage, IsWhatTheGeneratorMakes) {
    const credits::Image image = credits::render(CREDITS_FONT_DIR);
    ASSERT_TRUE(image.error.empty()) << image.error;
    const std::vector<uint8_t> made = credits::encode_tga(image.pixels, Size, Size);
    const std::vector<uint8_t> file = committed_file();
    ASSERT_EQ(made.size(), file.size());
    EXPECT_TRUE(made == file) << "regenerate data/credits.tga with build/credits-gen";
}

} // namespace
