#include "svf.h"

#include "dsp_math.h"

namespace tune {

void Svf::set(double cutoff_hz, double q, double fs) {
    double g = tan_prewarp(cutoff_hz, fs);
    k_ = 1.0 / (q < 0.05 ? 0.05 : q);
    a1_ = 1.0 / (1.0 + g * (g + k_));
    a2_ = g * a1_;
    a3_ = g * a2_;
}

} // namespace tune
