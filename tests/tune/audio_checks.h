#pragma once
// Measurements on rendered or decoded audio shared by the whole-piece tests.
#include <cstdint>
#include <string>
#include <vector>

#include "renderer.h"

namespace tune_test {

constexpr double kFs = 44100.0;

// The piece rendered once per test process and shared by every test that needs it.
const tune::Rendering &rendered_piece();

// Runs a shell command; returns its standard output and sets `status` to its exit code.
std::string run_command(const std::string &cmd, int *status = nullptr);

// Decodes an audio file with ffmpeg to interleaved 16-bit stereo at 44.1 kHz.
std::vector<std::int16_t> decode(const std::string &path);

std::vector<double> to_mono(const std::vector<std::int16_t> &stereo);

// Largest rise in power, in dB, from the 30 ms before to the 20 ms after any instant within
// `window` seconds of `t`; and when it happens.
struct Jump {
    double db;
    double at;
};
Jump energy_jump(const std::vector<double> &mono, double t, double window);

// Onset time of the low band (below ~250 Hz, where the kick lives) near `t`: where its envelope
// first stands 6 dB above the level before `t` and a tenth of the way to the peak that follows.
// Negative when nothing rises. `lowpassed_power` comes from low_band_power, which filters without
// delaying.
double low_band_onset(const std::vector<double> &lowpassed_power, double t);
std::vector<double> low_band_power(const std::vector<double> &mono);

// Samples whose second difference stands far above that of their neighbourhood: a step or
// spike the surrounding high-frequency content does not explain.
struct Click {
    size_t frame;
    int channel;
    double ratio;
};
std::vector<Click> find_clicks(const std::vector<std::int16_t> &stereo);

} // namespace tune_test
