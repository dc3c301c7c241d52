#include <cstddef>
#include "master.h"

#include "dsp_math.h"
#include "loudness.h"
#include "stutter.h"
#include "svf.h"

namespace tune {

namespace {

void low_cut(std::vector<float> &stereo, double hz, double fs) {
    Svf l(Svf::Mode::HighPass), r(Svf::Mode::HighPass);
    l.set(hz, 0.707, fs);
    r.set(hz, 0.707, fs);
    for (std::size_t i = 0; i + 1 < stereo.size(); i += 2) {
        stereo[i] = static_cast<float>(l.process(stereo[i]));
        stereo[i + 1] = static_cast<float>(r.process(stereo[i + 1]));
    }
}

double fade_gain(double t, double start, double end) {
    if (end <= start || t <= start) return 1.0;
    if (t >= end) return 0.0;
    double x = (t - start) / (end - start);
    return 0.5 * (1.0 + cos_turns(0.5 * x));
}

// Gain, limiter and fade: the part that is repeated while searching for the loudness target.
std::vector<float> finish(const std::vector<float> &pre, double gain_db, const Score &score,
                          const MasterParams &params, double fs) {
    std::vector<float> out(pre.size());
    const double g = db_to_gain(gain_db);
    for (std::size_t i = 0; i < pre.size(); ++i) out[i] = static_cast<float>(pre[i] * g);
    limit(out, params.limiter, fs);
    if (score.fade_end > score.fade_start) {
        for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
            double t = static_cast<double>(i / 2) / fs;
            if (t < score.fade_start) continue;
            auto f = static_cast<float>(fade_gain(t, score.fade_start, score.fade_end));
            out[i] *= f;
            out[i + 1] *= f;
        }
    }
    return out;
}

// Gains move in 0.01 dB steps, so last-bit differences in the meter cannot change the result.
double quantise_db(double db) {
    return floor_d(db * 100.0 + 0.5) / 100.0;
}

} // namespace

MasterReport master(std::vector<float> &stereo, const Score &score, const MasterParams &params,
                    double fs) {
    low_cut(stereo, params.low_cut_hz, fs);
    apply_stutter(stereo, score.stutters, fs);

    MasterReport report;
    double loud = integrated_loudness(stereo, fs);
    if (loud < -200.0) return report; // silence: nothing to normalise
    report.gain_db = quantise_db(params.target_lufs - loud);
    std::vector<float> out = finish(stereo, report.gain_db, score, params, fs);
    // The limiter takes a little loudness away; two corrections settle within the quantum.
    for (int pass = 0; pass < 2; ++pass) {
        loud = integrated_loudness(out, fs);
        double next = quantise_db(report.gain_db + params.target_lufs - loud);
        if (next == report.gain_db) break;
        report.gain_db = next;
        out = finish(stereo, report.gain_db, score, params, fs);
    }
    report.loudness_lufs = integrated_loudness(out, fs);
    stereo.swap(out);
    return report;
}

} // namespace tune
