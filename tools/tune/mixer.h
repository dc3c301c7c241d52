#pragma once
#include <vector>

#include "score.h"

namespace tune {

// Plays every event of the score through its channel (level, pan, side-chain) and the shared
// delay and reverb returns. Returns interleaved stereo of score.length seconds, before mastering.
std::vector<float> mix(const Score &score, double fs);

} // namespace tune
