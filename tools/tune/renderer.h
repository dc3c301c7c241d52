#pragma once
#include <cstdint>
#include <vector>

#include "master.h"
#include "score.h"

namespace tune {

struct Rendering {
    std::vector<std::int16_t> pcm; // interleaved stereo at kSampleRate
    MasterReport master;
};

// Mixes and masters the score. Single-threaded and free of time-dependent state: the same score
// always gives the same samples.
Rendering render(const Score &score);

} // namespace tune
