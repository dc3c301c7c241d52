#include "gfx/noise.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(Noise, GeneratorDrawsTheClassicSequenceFromSeedOne) {
    noise_generator_reset();
    const int first[4] = {41, 18467, 6334, 26500};
    for (int expected : first) EXPECT_EQ(random_unit(), static_cast<float>(expected / 32767.0));
}

TEST(Noise, KernelIsANormalisedRaisedCosine) {
    float kernel[NoiseKernelTaps];
    noise_kernel(kernel);
    double sum = 0;
    for (float w : kernel) sum += w;
    EXPECT_NEAR(sum, 1.0, 1e-6);
    EXPECT_EQ(kernel[0], 0.0f);
    EXPECT_NEAR(kernel[16], 1.0 / 16, 1e-7);
    EXPECT_NEAR(kernel[8], 1.0 / 32, 1e-7);
    EXPECT_NEAR(kernel[24], 1.0 / 32, 1e-7);
    for (int n = 1; n < 16; ++n) {
        EXPECT_NEAR(kernel[n], kernel[32 - n], 1e-7) << n;
        EXPECT_LT(kernel[n - 1], kernel[n]) << "rises to the middle";
    }
}

class NoiseTexels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { make_noise(); }
    static int byte(int row, int column, int channel) {
        return NoisePixels[(row * NoiseSize + column) * 4 + channel];
    }
};

TEST_F(NoiseTexels, FirstTexelsMatchTheReferenceBytes) {
    const int expected[8] = {100, 106, 141, 74, 91, 110, 141, 73};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(NoisePixels[i], expected[i]) << "byte " << i;
}

TEST_F(NoiseTexels, EveryChannelSpansTheFullByteRange) {
    for (int c = 0; c < 4; ++c) {
        int low = 255, high = 0;
        for (int i = 0; i < NoiseSize * NoiseSize; ++i) {
            low = std::min(low, int(NoisePixels[i * 4 + c]));
            high = std::max(high, int(NoisePixels[i * 4 + c]));
        }
        EXPECT_EQ(low, 0) << "channel " << c;
        EXPECT_EQ(high, 255) << "channel " << c;
    }
}

TEST_F(NoiseTexels, ASecondRunGivesTheSameBytes) {
    std::vector<unsigned char> first(NoisePixels, NoisePixels + NoiseValueCount);
    make_noise();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), NoisePixels));
}

// A seam at the texture's edge would show as a jump across the wrap far larger than between
// neighbouring texels inside.
TEST_F(NoiseTexels, TilesWithoutSeams) {
    auto mean_step = [](int a_row, int a_col, int b_row, int b_col, bool along_rows) {
        double total = 0;
        for (int i = 0; i < NoiseSize; ++i)
            for (int c = 0; c < 4; ++c)
                total += along_rows ? std::abs(byte(i, a_col, c) - byte(i, b_col, c))
                                    : std::abs(byte(a_row, i, c) - byte(b_row, i, c));
        return total / (NoiseSize * 4);
    };
    double inside_columns = mean_step(0, 100, 0, 101, true);
    double wrap_columns = mean_step(0, 255, 0, 0, true);
    double inside_rows = mean_step(100, 0, 101, 0, false);
    double wrap_rows = mean_step(255, 0, 0, 0, false);
    EXPECT_LT(wrap_columns, 2.5 * inside_columns);
    EXPECT_LT(wrap_rows, 2.5 * inside_rows);
    EXPECT_LT(inside_columns, 8.0) << "neighbours are close: the field is smooth";
}

TEST(NoiseSteps, NormaliseChannelsStretchesEachChannelAndQuantiseMapsOneTo255) {
    float texels[3 * 4] = {0.5f, 2, -1, 7, 0.75f, 4, -3, 7, 1.0f, 3, -2, 9};
    normalise_channels(texels, 3);
    const float expected[12] = {0, 0, 1, 0, 0.5f, 1, 0, 0, 1, 0.5f, 0.5f, 1};
    for (int i = 0; i < 12; ++i) EXPECT_FLOAT_EQ(texels[i], expected[i]) << i;

    NoiseField[0] = -0.001f;
    NoiseField[1] = 1.0f;
    NoiseField[2] = 0.99999994f;
    NoiseField[3] = 0.5f;
    quantise_noise();
    EXPECT_EQ(NoisePixels[0], 0);
    EXPECT_EQ(NoisePixels[1], 255);
    EXPECT_EQ(NoisePixels[2], 255);
    EXPECT_EQ(NoisePixels[3], 128) << "the factor is 256, not 255";
}

} // namespace
