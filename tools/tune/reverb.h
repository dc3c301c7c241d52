#pragma once
#include <cstddef>
#include <vector>

#include "svf.h"

namespace tune {

// Schroeder-Moorer hall: eight damped combs into four allpasses per side, with the right side's
// delays slightly longer so the two tails decorrelate into width.
class Reverb {
  public:
    struct Params {
        double room = 0.86;     // comb feedback, sets the decay time
        double damping = 0.35;  // high-frequency loss per pass
        double predelay = 0.02; // seconds
        double low_cut = 220.0; // Hz; keeps the low end out of the tail
        double width = 0.9;     // 0 mono .. 1 full stereo
        double gain = 3.0;      // return level
    };

    Reverb(const Params &params, double fs);

    // Writes the wet signal only.
    void process(const float *in_l, const float *in_r, float *out_l, float *out_r, int n);

  private:
    struct Comb {
        std::vector<float> buf;
        long pos = 0;
        double store = 0.0;
    };
    struct Allpass {
        std::vector<float> buf;
        long pos = 0;
    };

    static double run_comb(Comb &c, double in, double feedback, double damp);
    static double run_allpass(Allpass &a, double in);

    Params p_;
    std::vector<float> pre_;
    long pre_pos_ = 0;
    Svf low_cut_;
    Comb combs_[2][8];
    Allpass allpasses_[2][4];
};

} // namespace tune
