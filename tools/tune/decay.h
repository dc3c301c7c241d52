#pragma once
#include "dsp_math.h"

namespace tune {

// exp(-t / tau) sample by sample, by repeated multiplication instead of a call per sample.
class Decay {
  public:
    Decay(double tau_s, double fs) : k_(decay_coeff(tau_s, fs)) {}
    // The value at the current sample; then steps to the next.
    double next() {
        double v = v_;
        v_ *= k_;
        return v;
    }

  private:
    double k_;
    double v_ = 1.0;
};

} // namespace tune
