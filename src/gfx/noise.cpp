#include "gfx/noise.h"

#include <cmath>
#include <cstdint>
#include <memory>

float NoiseField[NoiseValueCount];
unsigned char NoisePixels[NoiseValueCount];

// Every product, sum and quotient is formed in double and rounded to float where it is stored;
// the bytes of the texture depend on it.

static uint32_t GeneratorState = 1;

void noise_generator_reset() {
    GeneratorState = 1;
}

// The classic linear congruential rand() with its default seed, written out so every platform
// draws the same sequence.
static int next_random() {
    GeneratorState = GeneratorState * 214013u + 2531011u;
    return static_cast<int>((GeneratorState >> 16) & 32767u);
}

float random_unit() {
    return static_cast<float>(next_random() / 32767.0);
}

void normalise_sum(float *values, int count) {
    float sum = 0.0f;
    for (int i = 0; i < count; ++i) sum = static_cast<float>(static_cast<double>(sum) + values[i]);
    for (int i = 0; i < count; ++i)
        values[i] = static_cast<float>(static_cast<double>(values[i]) / sum);
}

void normalise_channels(float *texels, int texel_count) {
    float min[4] = {1e20f, 1e20f, 1e20f, 1e20f};
    float max[4] = {-1e20f, -1e20f, -1e20f, -1e20f};
    for (int i = 0; i < texel_count; ++i)
        for (int c = 0; c < 4; ++c) {
            float v = texels[i * 4 + c];
            if (v < min[c]) min[c] = v;
            if (v > max[c]) max[c] = v;
        }
    for (int i = 0; i < texel_count; ++i)
        for (int c = 0; c < 4; ++c) {
            float &v = texels[i * 4 + c];
            v = static_cast<float>(static_cast<double>(v) - min[c]);
            v = static_cast<float>(static_cast<double>(v) /
                                   (static_cast<double>(max[c]) - static_cast<double>(min[c])));
        }
}

void quantise_noise() {
    for (int i = 0; i < NoiseValueCount; ++i) {
        float x = NoiseField[i];
        if (x < 0.0f)
            NoisePixels[i] = 0;
        else if (x >= 1.0f)
            NoisePixels[i] = 255;
        else
            NoisePixels[i] = static_cast<unsigned char>(static_cast<double>(x) * 256.0);
    }
}

constexpr int Tiled = 512;
constexpr int Taps = NoiseKernelTaps;

// One 32-tap pass along the rows of source, written transposed so that the next pass reads
// along rows again. Each accumulator is rounded to float at every step, which makes one texel a
// long chain of dependent operations; eight texels are summed side by side to keep the pipeline
// busy. The order of operations within each texel is unchanged.
constexpr int Lanes = 8;

static void filter_pass(const float *source, float *destination, int rows, const float *kernel) {
    for (int y = 0; y < rows; ++y) {
        const float *row = source + static_cast<size_t>(y) * Tiled * 4;
        for (int x = 0; x < NoiseSize; x += Lanes) {
            float filtered[Lanes][4] = {};
            const float *tap = row + x * 4;
            for (int n = 0; n < Taps; ++n, tap += 4) {
                const double w = kernel[n];
                for (int lane = 0; lane < Lanes; ++lane)
                    for (int c = 0; c < 4; ++c)
                        filtered[lane][c] =
                            static_cast<float>(filtered[lane][c] + tap[lane * 4 + c] * w);
            }
            for (int lane = 0; lane < Lanes; ++lane) {
                float *out = destination + (static_cast<size_t>(x + lane) * Tiled + y) * 4;
                for (int c = 0; c < 4; ++c) out[c] = filtered[lane][c];
            }
        }
    }
}

void noise_kernel(float *kernel) {
    // A raised-cosine window.
    for (int n = 0; n < NoiseKernelTaps; ++n) {
        float t = static_cast<float>(n / 32.0 * 2.0 * static_cast<double>(3.141592f));
        float c = static_cast<float>(std::cos(static_cast<double>(t)));
        kernel[n] = static_cast<float>(1.0 - c);
    }
    normalise_sum(kernel, NoiseKernelTaps);
}

void make_noise() {
    auto work1 = std::make_unique<float[]>(static_cast<size_t>(Tiled) * Tiled * 4);
    auto work2 = std::make_unique<float[]>(static_cast<size_t>(Tiled) * Tiled * 4);
    auto kernel = std::make_unique<float[]>(Taps);

    noise_generator_reset(); // every build of the noise draws the same sequence
    for (int i = 0; i < NoiseValueCount; ++i) NoiseField[i] = random_unit();

    for (int row = 0; row < Tiled; ++row)
        for (int column = 0; column < Tiled; ++column)
            for (int c = 0; c < 4; ++c)
                work1[(static_cast<size_t>(row) * Tiled + column) * 4 + c] =
                    NoiseField[((row % NoiseSize) * NoiseSize + column % NoiseSize) * 4 + c];

    noise_kernel(kernel.get());

    // Pass 1 covers the rows pass 2's 256 outputs reach (256 + 31 taps).
    filter_pass(work1.get(), work2.get(), NoiseSize + Taps, kernel.get());
    filter_pass(work2.get(), work1.get(), NoiseSize, kernel.get());

    for (int row = 0; row < NoiseSize; ++row)
        for (int column = 0; column < NoiseSize; ++column)
            for (int c = 0; c < 4; ++c)
                NoiseField[(row * NoiseSize + column) * 4 + c] =
                    work1[(static_cast<size_t>(row) * Tiled + column) * 4 + c];

    normalise_channels(NoiseField, NoiseSize * NoiseSize);
    quantise_noise();
}
