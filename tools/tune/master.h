#pragma once
#include <vector>

#include "limiter.h"
#include "score.h"

namespace tune {

struct MasterParams {
    double low_cut_hz = 22.0; // removes DC and sub-sonic drift
    double target_lufs = -14.0;
    LimiterParams limiter{};
};

struct MasterReport {
    double gain_db = 0.0;       // make-up gain before the limiter
    double loudness_lufs = 0.0; // of the finished master
};

// Low cut, the score's stutters, loudness-normalised gain into the limiter, then the final fade.
MasterReport master(std::vector<float> &stereo, const Score &score, const MasterParams &params,
                    double fs);

} // namespace tune
