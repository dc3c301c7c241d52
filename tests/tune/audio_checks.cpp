#include "audio_checks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>

#include "composition.h"

namespace tune_test {

const tune::Rendering &rendered_piece() {
    static const tune::Rendering r = tune::render(tune::compose());
    return r;
}

std::string run_command(const std::string &cmd, int *status) {
    std::string out;
    FILE *p = popen(cmd.c_str(), "r");
    if (!p) throw std::runtime_error("cannot run: " + cmd);
    std::array<char, 65536> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
    int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::vector<std::int16_t> decode(const std::string &path) {
    int status = 0;
    std::string raw = run_command(
        "ffmpeg -v error -i '" + path + "' -f s16le -acodec pcm_s16le -ac 2 -ar 44100 -", &status);
    if (status != 0) throw std::runtime_error("ffmpeg could not decode " + path);
    std::vector<std::int16_t> pcm(raw.size() / 2);
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                           (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
    return pcm;
}

std::vector<double> to_mono(const std::vector<std::int16_t> &stereo) {
    std::vector<double> m(stereo.size() / 2);
    for (size_t i = 0; i < m.size(); ++i)
        m[i] = (static_cast<double>(stereo[2 * i]) + stereo[2 * i + 1]) / 65536.0;
    return m;
}

namespace {
double mean_power(const std::vector<double> &x, long from, long to) {
    from = std::max(0L, from);
    to = std::min(static_cast<long>(x.size()), to);
    if (to <= from) return 0.0;
    double e = 0.0;
    for (long i = from; i < to; ++i) e += x[static_cast<size_t>(i)] * x[static_cast<size_t>(i)];
    return e / static_cast<double>(to - from);
}
} // namespace

Jump energy_jump(const std::vector<double> &mono, double t, double window) {
    Jump best{-1e9, 0.0};
    const long before = static_cast<long>(0.030 * kFs), after = static_cast<long>(0.020 * kFs);
    for (double c = t - window; c <= t + window; c += 0.001) {
        long i = static_cast<long>(c * kFs);
        double pre = mean_power(mono, i - before, i) + 1e-12;
        double post = mean_power(mono, i, i + after) + 1e-12;
        double db = 10.0 * std::log10(post / pre);
        if (db > best.db) best = {db, c};
    }
    return best;
}

std::vector<double> low_band_power(const std::vector<double> &mono) {
    // Two one-pole low-passes at 250 Hz run forward and then backward, so the band keeps its
    // timing, then a centred 1 ms power average.
    const double a = 1.0 - std::exp(-2.0 * M_PI * 250.0 / kFs);
    std::vector<double> y(mono);
    for (int pass = 0; pass < 2; ++pass) {
        double y1 = 0.0, y2 = 0.0;
        for (size_t i = 0; i < y.size(); ++i) {
            y1 += a * (y[i] - y1);
            y2 += a * (y1 - y2);
            y[i] = y2;
        }
        std::reverse(y.begin(), y.end());
    }
    const long half = 22;
    std::vector<double> prefix(y.size() + 1, 0.0);
    for (size_t i = 0; i < y.size(); ++i) prefix[i + 1] = prefix[i] + y[i] * y[i];
    std::vector<double> p(y.size(), 0.0);
    for (long i = half; i + half < static_cast<long>(y.size()); ++i)
        p[static_cast<size_t>(i)] =
            (prefix[static_cast<size_t>(i + half + 1)] - prefix[static_cast<size_t>(i - half)]) /
            (2 * half + 1);
    return p;
}

double low_band_onset(const std::vector<double> &power, double t) {
    auto at = [&](double s) { return static_cast<long>(s * kFs); };
    long g = at(t);
    if (g - at(0.04) < 0 || g + at(0.08) >= static_cast<long>(power.size())) return -1.0;
    double pre = 0.0;
    for (long i = g - at(0.035); i < g - at(0.015); ++i) pre += power[static_cast<size_t>(i)];
    pre /= static_cast<double>(at(0.02));
    double peak = 0.0;
    for (long i = g - at(0.015); i < g + at(0.06); ++i)
        peak = std::max(peak, power[static_cast<size_t>(i)]);
    if (peak < 4.0 * pre) return -1.0;
    double level = std::max(4.0 * pre, pre + (peak - pre) / 10.0);
    for (long i = g - at(0.015); i < g + at(0.06); ++i)
        if (power[static_cast<size_t>(i)] >= level) return static_cast<double>(i) / kFs;
    return -1.0;
}

std::vector<Click> find_clicks(const std::vector<std::int16_t> &stereo) {
    std::vector<Click> clicks;
    const size_t frames = stereo.size() / 2;
    const long half = 110; // 2.5 ms either side
    for (int c = 0; c < 2; ++c) {
        std::vector<double> h(frames, 0.0), prefix(frames + 1, 0.0);
        for (size_t i = 2; i < frames; ++i) {
            double x0 = stereo[2 * i + c], x1 = stereo[2 * (i - 1) + c],
                   x2 = stereo[2 * (i - 2) + c];
            h[i] = (x0 - 2 * x1 + x2) / 32768.0;
        }
        for (size_t i = 0; i < frames; ++i) prefix[i + 1] = prefix[i] + h[i] * h[i];
        for (long i = half; i + half < static_cast<long>(frames); ++i) {
            double v = std::fabs(h[static_cast<size_t>(i)]);
            if (v < 0.02) continue; // below any audible click
            // Neighbourhood energy without the sample and its two neighbours.
            double e = prefix[static_cast<size_t>(i + half + 1)] -
                       prefix[static_cast<size_t>(i - half)] -
                       (prefix[static_cast<size_t>(i + 2)] - prefix[static_cast<size_t>(i - 1)]);
            double rms = std::sqrt(e / (2 * half - 2));
            double ratio = v / (rms + 1e-9);
            if (ratio > 12.0) clicks.push_back({static_cast<size_t>(i), c, ratio});
        }
    }
    return clicks;
}

} // namespace tune_test
