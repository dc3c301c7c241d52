// The committed credits image is exactly what its generator makes (which the cards' GL tests and
// the generator's own checks vouch for).
#include "credits_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

TEST(CreditsImage, IsExactlyWhatTheGeneratorMakes) {
    std::ifstream stream(DEMO_SOURCE_DIR "/data/credits.tga", std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(stream), {}};
    const credits::Image image = credits::render(CREDITS_FONT_DIR);
    ASSERT_TRUE(image.error.empty()) << image.error;
    EXPECT_TRUE(credits::encode_tga(image.pixels, credits::ImageSize, credits::ImageSize) == file)
        << "regenerate data/credits.tga with build/credits-gen";
}
