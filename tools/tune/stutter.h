#pragma once
#include <vector>

#include "score.h"

namespace tune {

// Beat-repeat over an interleaved stereo buffer: inside each segment the audio is replaced by
// repeats of the segment's first slice. Every repeat and both edges of a run of segments are
// faded over a couple of milliseconds so the cuts chop without clicking.
void apply_stutter(std::vector<float> &stereo, const std::vector<StutterSegment> &segments,
                   double fs);

} // namespace tune
