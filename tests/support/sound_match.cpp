// Says whether a recording is a given piece of sound, wherever in the piece it started.
// Usage: sound_match REFERENCE RECORDING RATE MIN_SECONDS (raw mono float32 at RATE Hz)
// The lag comes from the cross-correlation of the two; then the aligned span's correlation and
// level decide. A player on a loaded machine may skip or stall for a moment, so each quarter
// second of the recording is aligned on its own near that lag, and the jumps are counted.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

using Spectrum = std::vector<std::complex<double>>;

static std::vector<float> load(const char *path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<float> samples;
    float sample;
    while (in.read(reinterpret_cast<char *>(&sample), sizeof sample)) samples.push_back(sample);
    return samples;
}

// In place, radix 2; sign -1 forward, +1 inverse (unscaled).
static void fft(Spectrum &a, double sign) {
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const auto step = std::polar(1.0, sign * 2 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (size_t k = i; k < i + len / 2; ++k, w *= step) {
                const auto u = a[k], v = a[k + len / 2] * w;
                a[k] = u + v;
                a[k + len / 2] = u - v;
            }
        }
    }
}

struct Sums {
    double cross = 0, ref = 0, rec = 0;
    long samples = 0;
};

// Recording samples [from, to) against the reference shifted by lag, where both exist.
static Sums sums(const std::vector<float> &ref, const std::vector<float> &rec, long lag, long from,
                 long to) {
    Sums s;
    from = std::max(from, -lag);
    to = std::min({to, static_cast<long>(rec.size()), static_cast<long>(ref.size()) - lag});
    for (long t = from; t < to; ++t, ++s.samples) {
        s.cross += double(ref[t + lag]) * rec[t];
        s.ref += double(ref[t + lag]) * ref[t + lag];
        s.rec += double(rec[t]) * rec[t];
    }
    return s;
}

static double correlation(const Sums &s) {
    return s.cross / std::sqrt(s.ref * s.rec + 1e-30);
}
// The correlation up to the recording's own energy, which one block's lags share.
static double likeness(const Sums &s) {
    return s.cross / std::sqrt(s.ref + 1e-30);
}

int main(int argc, char **argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s REFERENCE RECORDING RATE MIN_SECONDS\n", argv[0]);
        return 2;
    }
    const auto ref = load(argv[1]), rec = load(argv[2]);
    const long rate = std::atol(argv[3]);
    const double min_seconds = std::atof(argv[4]);
    if (ref.empty() || rec.empty() || rate <= 0) {
        std::fprintf(stderr, "sound_match: empty input or bad rate\n");
        return 2;
    }
    size_t n = 1;
    while (n < ref.size() + rec.size()) n <<= 1;
    Spectrum a(n), b(n);
    std::copy(ref.begin(), ref.end(), a.begin());
    std::copy(rec.begin(), rec.end(), b.begin());
    fft(a, -1);
    fft(b, -1);
    for (size_t i = 0; i < n; ++i) a[i] *= std::conj(b[i]);
    fft(a, 1);
    // a[l] sums ref[t + l] * rec[t]; past n / 2 the recording began before the piece.
    size_t best = 0;
    for (size_t i = 1; i < n; ++i)
        if (a[i].real() > a[best].real()) best = i;
    const long lag = static_cast<long>(best) - (best < n / 2 ? 0 : static_cast<long>(n));
    const long rec_size = static_cast<long>(rec.size()), block = rate / 4;

    Sums total;
    long previous = lag;
    int jumps = 0;
    for (long from = 0; from < rec_size; from += block) {
        long block_lag = lag;
        double top = likeness(sums(ref, rec, lag, from, from + block));
        for (long l = lag - rate / 2; l <= lag + rate / 2; ++l) {
            const double score = likeness(sums(ref, rec, l, from, from + block));
            if (score > top) top = score, block_lag = l;
        }
        const Sums s = sums(ref, rec, block_lag, from, from + block);
        if (s.samples == 0) continue;
        jumps += std::labs(block_lag - previous) > rate / 1000;
        previous = block_lag;
        total.cross += s.cross, total.ref += s.ref, total.rec += s.rec, total.samples += s.samples;
    }
    const double seconds = static_cast<double>(total.samples) / static_cast<double>(rate);
    const double level_db = 10 * std::log10((total.rec + 1e-30) / (total.ref + 1e-30));
    std::printf(
        "recording from %.3f s of the reference, over %.1f s: correlation %.3f (%.3f at one "
        "lag, %d jumps), level %+.2f dB\n",
        static_cast<double>(lag) / static_cast<double>(rate), seconds, correlation(total),
        correlation(sums(ref, rec, lag, 0, rec_size)), jumps, level_db);
    return seconds >= min_seconds && correlation(total) >= 0.9 && std::fabs(level_db) <= 2 ? 0 : 1;
}
