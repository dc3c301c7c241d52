#pragma once
// Elementary functions written out as plain arithmetic so that the rendered samples do not depend
// on the C library's implementation (its last-bit results differ between versions).
#include <cstdint>

namespace tune {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

inline double floor_d(double x) {
    auto i = static_cast<double>(static_cast<std::int64_t>(x));
    return i > x ? i - 1.0 : i;
}

// sin(2*pi*p) for any p; error below 1e-9.
inline double sin_turns(double p) {
    p -= floor_d(p); // [0, 1)
    // Fold to [-0.25, 0.25] turns where the odd polynomial is accurate.
    double sign = 1.0;
    if (p >= 0.5) {
        p -= 0.5;
        sign = -1.0;
    }
    if (p > 0.25) p = 0.5 - p;
    double x = p * kTwoPi;
    double x2 = x * x;
    double r =
        x * (1.0 + x2 * (-1.0 / 6 +
                         x2 * (1.0 / 120 + x2 * (-1.0 / 5040 +
                                                 x2 * (1.0 / 362880 + x2 * (-1.0 / 39916800 +
                                                                            x2 / 6227020800.0))))));
    return sign * r;
}

inline double cos_turns(double p) {
    return sin_turns(p + 0.25);
}

inline double sin_rad(double x) {
    return sin_turns(x / kTwoPi);
}

// tan(pi * f / fs) for the filter prewarp; f is clamped below Nyquist.
inline double tan_prewarp(double f, double fs) {
    double p = f / fs;
    if (p > 0.49) p = 0.49;
    if (p < 1e-6) p = 1e-6;
    return sin_turns(p * 0.5) / cos_turns(p * 0.5);
}

// 2^x, relative error below 1e-12 over the range audio needs.
inline double exp2_d(double x) {
    if (x < -1000.0) return 0.0;
    if (x > 1000.0) x = 1000.0;
    double fi = floor_d(x + 0.5);
    double f = (x - fi) * 0.69314718055994530942; // |f| <= ln2 / 2
    double e = 1.0;
    double term = 1.0;
    for (int k = 1; k <= 13; ++k) {
        term *= f / k;
        e += term;
    }
    auto n = static_cast<int>(fi);
    double scale = 1.0;
    double base = n >= 0 ? 2.0 : 0.5;
    for (int m = n >= 0 ? n : -n; m > 0; m >>= 1) {
        if (m & 1) scale *= base;
        base *= base;
    }
    return e * scale;
}

inline double exp_d(double x) {
    return exp2_d(x * 1.44269504088896340736);
}

inline double db_to_gain(double db) {
    return exp2_d(db * (3.32192809488736234787 / 20.0));
}

inline double note_to_hz(double note) {
    return 440.0 * exp2_d((note - 69.0) / 12.0);
}

// Smooth saturator: odd, monotonic, unity slope at zero, reaches +-1 at +-3 and stays there.
inline double soft_clip(double x) {
    if (x > 3.0) return 1.0;
    if (x < -3.0) return -1.0;
    double x2 = x * x;
    return x * (27.0 + x2) / (27.0 + 9.0 * x2);
}

// Per-sample multiplier that makes a one-pole decay fall by 1/e in `seconds`.
inline double decay_coeff(double seconds, double fs) {
    if (seconds <= 0.0) return 0.0;
    return exp_d(-1.0 / (seconds * fs));
}

} // namespace tune
