#pragma once
#include <vector>

namespace tune {

struct LimiterParams {
    double ceiling_db = -1.0;
    double lookahead_s = 0.003;
    double release_s = 0.12;
};

// Look-ahead peak limiter over a whole interleaved stereo buffer. The gain reaches every peak's
// required reduction before the peak arrives (a held minimum smoothed by a box filter no longer
// than the hold), so no sample exceeds the ceiling and the gain never steps.
void limit(std::vector<float> &stereo, const LimiterParams &params, double fs);

} // namespace tune
