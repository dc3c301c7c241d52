#include <cstddef>
#include "limiter.h"

#include <deque>

#include "dsp_math.h"

namespace tune {

void limit(std::vector<float> &stereo, const LimiterParams &params, double fs) {
    const std::size_t frames = stereo.size() / 2;
    if (frames == 0) return;
    const double ceiling = db_to_gain(params.ceiling_db);
    const std::size_t look = static_cast<std::size_t>(params.lookahead_s * fs) + 1;
    const double release = decay_coeff(params.release_s, fs);

    std::vector<double> required(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        double a = stereo[2 * i] < 0 ? -stereo[2 * i] : stereo[2 * i];
        double b = stereo[2 * i + 1] < 0 ? -stereo[2 * i + 1] : stereo[2 * i + 1];
        double peak = a > b ? a : b;
        required[i] = peak > ceiling ? ceiling / peak : 1.0;
    }

    // held[i] = min(required[i .. i + look - 1]), via a monotonic deque of indices.
    std::vector<double> held(frames);
    std::deque<std::size_t> window;
    std::size_t next = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        std::size_t last = i + look - 1 < frames ? i + look - 1 : frames - 1;
        for (; next <= last; ++next) {
            while (!window.empty() && required[window.back()] >= required[next]) window.pop_back();
            window.push_back(next);
        }
        while (window.front() < i) window.pop_front();
        held[i] = required[window.front()];
    }

    // Instant attack, exponential recovery; then average the last `look` values.
    double env = 1.0;
    double sum = 0.0;
    std::vector<double> history(look, 1.0);
    for (std::size_t i = 0; i < look; ++i) sum += history[i];
    std::size_t slot = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        env = 1.0 - (1.0 - env) * release;
        if (held[i] < env) env = held[i];
        sum += env - history[slot];
        history[slot] = env;
        if (++slot == look) slot = 0;
        double gain = sum / static_cast<double>(look);
        for (int c = 0; c < 2; ++c) {
            double v = stereo[2 * i + c] * gain;
            // Guards only against the running sum's rounding.
            if (v > ceiling) v = ceiling;
            if (v < -ceiling) v = -ceiling;
            stereo[2 * i + c] = static_cast<float>(v);
        }
    }
}

} // namespace tune
