#include <cstddef>
#include "reverb.h"

namespace tune {

namespace {
// Mutually prime lengths at 44.1 kHz; scaled for other rates.
constexpr int kCombLengths[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr int kAllpassLengths[4] = {556, 441, 341, 225};
constexpr int kStereoSpread = 23;
constexpr double kInputGain = 0.015;

// Tails end in denormals, which are slow on most CPUs.
inline double flush(double x) {
    return (x < 1e-20 && x > -1e-20) ? 0.0 : x;
}
} // namespace

Reverb::Reverb(const Params &params, double fs) : p_(params), low_cut_(Svf::Mode::HighPass) {
    double scale = fs / 44100.0;
    long pre = static_cast<long>(params.predelay * fs);
    pre_.assign(static_cast<std::size_t>(pre > 0 ? pre : 1), 0.0f);
    low_cut_.set(params.low_cut, 0.7, fs);
    for (int side = 0; side < 2; ++side) {
        int spread = side * kStereoSpread;
        for (int i = 0; i < 8; ++i)
            combs_[side][i].buf.assign(static_cast<std::size_t>((kCombLengths[i] + spread) * scale),
                                       0.0f);
        for (int i = 0; i < 4; ++i)
            allpasses_[side][i].buf.assign(
                static_cast<std::size_t>((kAllpassLengths[i] + spread) * scale), 0.0f);
    }
}

double Reverb::run_comb(Comb &c, double in, double feedback, double damp) {
    double out = c.buf[static_cast<std::size_t>(c.pos)];
    c.store = flush(out * (1.0 - damp) + c.store * damp);
    c.buf[static_cast<std::size_t>(c.pos)] = static_cast<float>(flush(in + c.store * feedback));
    if (++c.pos == static_cast<long>(c.buf.size())) c.pos = 0;
    return out;
}

double Reverb::run_allpass(Allpass &a, double in) {
    double delayed = a.buf[static_cast<std::size_t>(a.pos)];
    a.buf[static_cast<std::size_t>(a.pos)] = static_cast<float>(flush(in + delayed * 0.5));
    if (++a.pos == static_cast<long>(a.buf.size())) a.pos = 0;
    return delayed - in;
}

void Reverb::process(const float *in_l, const float *in_r, float *out_l, float *out_r, int n) {
    const double wet1 = 0.5 * (1.0 + p_.width) * p_.gain;
    const double wet2 = 0.5 * (1.0 - p_.width) * p_.gain;
    const auto pre_size = static_cast<long>(pre_.size());
    for (int i = 0; i < n; ++i) {
        double x = (static_cast<double>(in_l[i]) + in_r[i]) * kInputGain;
        double delayed = pre_[static_cast<std::size_t>(pre_pos_)];
        pre_[static_cast<std::size_t>(pre_pos_)] = static_cast<float>(x);
        if (++pre_pos_ == pre_size) pre_pos_ = 0;
        double input = low_cut_.process(delayed);
        double side[2] = {0.0, 0.0};
        for (int s = 0; s < 2; ++s) {
            double acc = 0.0;
            for (auto &c : combs_[s]) acc += run_comb(c, input, p_.room, p_.damping);
            for (auto &a : allpasses_[s]) acc = run_allpass(a, acc);
            side[s] = acc;
        }
        out_l[i] = static_cast<float>(side[0] * wet1 + side[1] * wet2);
        out_r[i] = static_cast<float>(side[1] * wet1 + side[0] * wet2);
    }
}

} // namespace tune
