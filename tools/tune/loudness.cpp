#include "loudness.h"

#include <ebur128.h>
#include <stdexcept>

namespace tune {

double integrated_loudness(const std::vector<float> &stereo, double fs) {
    ebur128_state *st = ebur128_init(2, static_cast<unsigned long>(fs), EBUR128_MODE_I);
    if (!st) throw std::runtime_error("loudness meter: out of memory");
    int rc = ebur128_add_frames_float(st, stereo.data(), stereo.size() / 2);
    double lufs = -1e9;
    if (rc == EBUR128_SUCCESS) rc = ebur128_loudness_global(st, &lufs);
    ebur128_destroy(&st);
    if (rc != EBUR128_SUCCESS) throw std::runtime_error("loudness meter failed");
    return lufs > -1e9 ? lufs : -1e9;
}

} // namespace tune
