#pragma once
#include <vector>

namespace tune {

// Integrated loudness (EBU R128 / ITU-R BS.1770) of interleaved stereo, in LUFS.
// Returns a very large negative number for silence.
double integrated_loudness(const std::vector<float> &stereo, double fs);

} // namespace tune
