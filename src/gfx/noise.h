// The deterministic, seamlessly tiling 256 x 256 RGBA noise that the scene shaders sample.
#pragma once

constexpr int NoiseSize = 256;
constexpr int NoiseValueCount = NoiseSize * NoiseSize * 4;
constexpr int NoiseKernelTaps = 32;

extern float NoiseField[NoiseValueCount];
extern unsigned char NoisePixels[NoiseValueCount];

void make_noise();

// The steps, exposed for tests.
void noise_generator_reset();
float random_unit();
void normalise_sum(float *values, int count);
void noise_kernel(float *kernel); // NoiseKernelTaps normalised weights
void normalise_channels(float *texels, int texel_count);
void quantise_noise();
