#include "ducker.h"

#include "dsp_math.h"

namespace tune {

Ducker::Ducker(double attack_s, double release_s, double fs)
    : attack_(attack_s * fs > 1.0 ? attack_s * fs : 1.0),
      release_(release_s * fs > 1.0 ? release_s * fs : 1.0), age_(attack_ + release_) {}

void Ducker::trigger() {
    // Start from wherever the previous pump is, so overlapping kicks never step the gain.
    from_ = amount_;
    age_ = 0.0;
}

double Ducker::next() {
    if (age_ < attack_) {
        amount_ = from_ + (1.0 - from_) * (age_ / attack_);
    } else if (age_ < attack_ + release_) {
        double r = (age_ - attack_) / release_;
        amount_ = 0.5 * (1.0 + cos_turns(0.5 * r));
    } else {
        amount_ = 0.0;
    }
    age_ += 1.0;
    return amount_;
}

} // namespace tune
