#include "delay.h"

#include <cstddef>

#include "dsp_math.h"

namespace tune {

PingPongDelay::PingPongDelay(long delay_samples, double feedback, double damping_hz, double fs)
    : line_l_(static_cast<std::size_t>(delay_samples > 0 ? delay_samples : 1), 0.0f),
      line_r_(line_l_.size(), 0.0f), feedback_(feedback),
      damp_(1.0 - exp_d(-kTwoPi * damping_hz / fs)) {}

void PingPongDelay::process(const float *in_l, const float *in_r, float *out_l, float *out_r,
                            int n) {
    const auto size = static_cast<long>(line_l_.size());
    for (int i = 0; i < n; ++i) {
        double el = line_l_[static_cast<std::size_t>(pos_)];
        double er = line_r_[static_cast<std::size_t>(pos_)];
        out_l[i] = static_cast<float>(el);
        out_r[i] = static_cast<float>(er);
        lp_l_ += damp_ * (el - lp_l_);
        lp_r_ += damp_ * (er - lp_r_);
        double mono = 0.5 * (static_cast<double>(in_l[i]) + in_r[i]);
        line_l_[static_cast<std::size_t>(pos_)] = static_cast<float>(mono + feedback_ * lp_r_);
        line_r_[static_cast<std::size_t>(pos_)] = static_cast<float>(feedback_ * lp_l_);
        if (++pos_ == size) pos_ = 0;
    }
}

} // namespace tune
