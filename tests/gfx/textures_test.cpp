// The textures as create_textures leaves them. What the credits reader makes of empty and short
// files is the credits_image fuzz corpus's (tests/fuzz, replayed as a unit test).
#include "gfx/noise.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "platform/web/box_filter_mipmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// Runs create_textures where data/credits.tga holds `bytes` (or is absent): the credits
// texture's width, and its level 0 as BGRA when it is the image's size.
std::vector<unsigned char> load_credits(const std::string *bytes, GLint *width) {
    ShaderFolder folder;
    if (bytes) std::ofstream(folder.path() + "/data/credits.tga", std::ios::binary) << *bytes;
    std::memset(CreditsPixelBuffer, 0, sizeof CreditsPixelBuffer); // as at process start
    glDeleteTextures(1, &NoiseTexture);
    glDeleteTextures(1, &OffscreenTexture);
    glDeleteTextures(1, &CreditsTexture);
    Boxes.clear();
    create_textures();
    glBindTexture(GL_TEXTURE_2D, CreditsTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
    std::vector<unsigned char> pixels(*width == CreditsImageSize ? CreditsPixelBytes : 0);
    if (!pixels.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint min_filter() {
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    return filter;
}

TEST(Textures, TheFirstStoredRowBecomesRowZeroUnflipped) {
    std::string bytes(18, '\0'); // a header the reader skips, top-left origin flag included
    bytes[17] = 0x28;
    const unsigned char first[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    bytes.append(reinterpret_cast<const char *>(first), 8);
    bytes.append(1024 * 4 - 8, '\0');
    bytes.append("\x09\x0a\x0b\x0c", 4); // row 1, pixel 0
    GLint width = 0;
    std::vector<unsigned char> pixels = load_credits(&bytes, &width);
    ASSERT_EQ(width, CreditsImageSize);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i], first[i]) << "BGRA uploaded unchanged";
    EXPECT_EQ(pixels[1024 * 4], 9);
    EXPECT_EQ(pixels[1024 * 4 + 3], 12);
    EXPECT_EQ(pixels[1024 * 4 + 4], 0) << "the short file leaves the rest zero";
    EXPECT_EQ(pixels.back(), 0);
    EXPECT_EQ(min_filter(), GL_LINEAR_MIPMAP_LINEAR);
}

TEST(Textures, AMissingImageGivesNoImageAndNoBox) {
    GLint width = -1;
    load_credits(nullptr, &width);
    EXPECT_EQ(width, 0);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(min_filter(), GL_LINEAR) << "no mipmap filter without mipmaps";

    // The noise goes up as BGRA bytes: level 0 read back the same way is NoisePixels.
    std::vector<unsigned char> noise(NoiseValueCount);
    glBindTexture(GL_TEXTURE_2D, NoiseTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, noise.data());
    EXPECT_TRUE(std::equal(noise.begin(), noise.end(), NoisePixels));
}

// The reader stops at the image's size, past what the fuzz inputs reach.
TEST(Textures, AnOversizedFileFillsTheWholeImage) {
    const std::string bytes(5 * 1024 * 1024, '\x7f');
    GLint width = 0;
    const std::vector<unsigned char> pixels = load_credits(&bytes, &width);
    ASSERT_EQ(width, CreditsImageSize);
    EXPECT_EQ(pixels.front(), 0x7f);
    EXPECT_EQ(pixels.back(), 0x7f);
}

// The page makes its texture levels with its own box filter, since WebGL's glGenerateMipmap
// filters as each browser likes: every level of both textures as GLU makes them under Mesa.
TEST(Textures, ThePagesBoxFilterMakesTheLevelsGluMakesByteForByte) {
    std::ifstream file(DEMO_DATA_DIR "/credits.tga", std::ios::binary);
    const std::string credits{std::istreambuf_iterator<char>(file), {}};
    GLint width = 0;
    ASSERT_FALSE(load_credits(&credits, &width).empty());
    for (GLuint texture : {NoiseTexture, CreditsTexture}) {
        glBindTexture(GL_TEXTURE_2D, texture);
        std::vector<unsigned char> ours;
        for (GLint level = 0, size = 0, above = 0; above != 1; ++level, above = size) {
            glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &size);
            std::vector<unsigned char> glu(static_cast<size_t>(size) * size * 4);
            glGetTexImage(GL_TEXTURE_2D, level, GL_BGRA, GL_UNSIGNED_BYTE, glu.data());
            ours = level ? next_mipmap_level(ours.data(), above) : glu;
            ASSERT_EQ(ours, glu) << "texture " << texture << ", level " << level;
        }
    }
}

} // namespace
