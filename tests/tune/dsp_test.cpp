// Oscillators, envelope, filter and the arithmetic under them.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp_math.h"
#include "envelope.h"
#include "oscillator.h"
#include "svf.h"

namespace {

constexpr double kFs = 44100.0;

// Amplitude of the component at `hz` (Goertzel over a Hann window).
double amplitude_at(const std::vector<double> &x, double hz) {
    const double w = 2.0 * M_PI * hz / kFs;
    const double coeff = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0, wsum = 0.0;
    const size_t n = x.size();
    for (size_t i = 0; i < n; ++i) {
        double win = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / (n - 1));
        wsum += win;
        double s = x[i] * win + coeff * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    double power = s1 * s1 + s2 * s2 - coeff * s1 * s2;
    return 2.0 * std::sqrt(power > 0 ? power : 0.0) / wsum;
}

std::vector<double> run(tune::Oscillator osc, size_t n) {
    std::vector<double> x(n);
    for (auto &v : x) v = osc.next();
    return x;
}

std::vector<double> naive_saw(double hz, size_t n) {
    std::vector<double> x(n);
    double p = 0.0;
    for (auto &v : x) {
        v = 2.0 * p - 1.0;
        p += hz / kFs;
        if (p >= 1.0) p -= 1.0;
    }
    return x;
}

TEST(DspMath, ElementaryFunctionsMatchTheLibraryClosely) {
    for (double p = -3.0; p < 3.0; p += 0.00123) {
        ASSERT_NEAR(tune::sin_turns(p), std::sin(2.0 * M_PI * p), 2e-9) << p;
        ASSERT_NEAR(tune::cos_turns(p), std::cos(2.0 * M_PI * p), 2e-9) << p;
    }
    for (double x = -40.0; x < 40.0; x += 0.0371)
        ASSERT_NEAR(tune::exp2_d(x) / std::exp2(x), 1.0, 1e-12) << x;
    EXPECT_DOUBLE_EQ(tune::note_to_hz(69), 440.0);
    EXPECT_NEAR(tune::note_to_hz(57), 220.0, 1e-9);
    EXPECT_NEAR(tune::db_to_gain(-6.0), std::pow(10.0, -0.3), 1e-12);
    EXPECT_NEAR(tune::tan_prewarp(1000.0, kFs), std::tan(M_PI * 1000.0 / kFs), 1e-9);
}

TEST(DspMath, SoftClipIsOddMonotonicAndBounded) {
    double prev = -2.0;
    for (double x = -5.0; x <= 5.0; x += 0.01) {
        double y = tune::soft_clip(x);
        ASSERT_LE(std::fabs(y), 1.0);
        ASSERT_GE(y, prev);
        ASSERT_NEAR(y, -tune::soft_clip(-x), 1e-15);
        prev = y;
    }
    EXPECT_NEAR(tune::soft_clip(0.01), 0.01, 1e-5);
}

TEST(Oscillator, SawIsBandLimited) {
    // Harmonics of 3 kHz above Nyquist fold back to 14.1, 11.1, 8.1 and 5.1 kHz.
    const size_t n = 16384;
    auto blep = run(
        [] {
            tune::Oscillator o(tune::Wave::Saw);
            o.set_freq(3000.0, kFs);
            return o;
        }(),
        n);
    auto naive = naive_saw(3000.0, n);
    EXPECT_NEAR(amplitude_at(blep, 3000.0), 2.0 / M_PI, 0.05);
    for (double alias : {5100.0, 8100.0}) {
        double a = amplitude_at(blep, alias);
        double b = amplitude_at(naive, alias);
        EXPECT_LT(20.0 * std::log10(a / b), -12.0) << alias << " Hz";
    }
}

TEST(Oscillator, WavesHaveNoDcAndStayInRange) {
    for (auto wave : {tune::Wave::Saw, tune::Wave::Square, tune::Wave::Sine, tune::Wave::Noise}) {
        tune::Oscillator o(wave, 0.3, 42);
        o.set_freq(441.0, kFs);
        auto x = run(o, 44100);
        double mean = 0.0;
        for (double v : x) {
            ASSERT_LE(std::fabs(v), 1.3);
            mean += v;
        }
        EXPECT_NEAR(mean / x.size(), 0.0, 0.01) << static_cast<int>(wave);
    }
}

TEST(Oscillator, NoiseIsSeededAndWhite) {
    auto a = run(tune::Oscillator(tune::Wave::Noise, 0, 7), 20000);
    auto b = run(tune::Oscillator(tune::Wave::Noise, 0, 7), 20000);
    auto c = run(tune::Oscillator(tune::Wave::Noise, 0, 8), 20000);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    double var = 0.0, lag1 = 0.0;
    for (size_t i = 1; i < a.size(); ++i) {
        var += a[i] * a[i];
        lag1 += a[i] * a[i - 1];
    }
    EXPECT_NEAR(var / a.size(), 1.0 / 3.0, 0.02);
    EXPECT_LT(std::fabs(lag1 / var), 0.03);
}

TEST(Adsr, StagesTakeTheirTimesAndNeverJump) {
    tune::AdsrParams p{0.01, 0.05, 0.5, 0.1};
    tune::Adsr env(p, kFs);
    env.gate_on();
    double prev = 0.0, max_step = 0.0;
    int peak_at = -1;
    for (int i = 0; i < 4410; ++i) {
        double v = env.next();
        if (peak_at < 0 && v >= 1.0) peak_at = i;
        max_step = std::max(max_step, std::fabs(v - prev));
        prev = v;
    }
    EXPECT_NEAR(peak_at, 441, 2);
    EXPECT_EQ(env.stage(), tune::Adsr::Stage::Sustain);
    EXPECT_DOUBLE_EQ(env.level(), 0.5);
    env.gate_off();
    int silent_after = -1;
    for (int i = 0; i < 10000 && silent_after < 0; ++i) {
        double v = env.next();
        max_step = std::max(max_step, std::fabs(v - prev));
        prev = v;
        if (env.done()) silent_after = i;
    }
    // The release time is from full level; from half level it is shorter, but not instant.
    EXPECT_LT(silent_after, 4410);
    EXPECT_GT(silent_after, 2205);
    EXPECT_EQ(prev, 0.0);
    EXPECT_LT(max_step, 1.0 / 441 + 1e-9); // the attack slope is the steepest part

    tune::Adsr full({0.001, 0.1, 1.0, 0.1}, kFs);
    full.gate_on();
    for (int i = 0; i < 1000; ++i) full.next();
    full.gate_off();
    int n = 0;
    while (!full.done() && n < 20000) {
        full.next();
        ++n;
    }
    EXPECT_NEAR(n, 4410, 30);
}

TEST(Adsr, ReleaseDuringAttackFallsFromWhereItIs) {
    tune::Adsr env({0.1, 0.1, 0.8, 0.05}, kFs);
    env.gate_on();
    double v = 0.0;
    for (int i = 0; i < 441; ++i) v = env.next(); // a tenth of the way up
    env.gate_off();
    double next = env.next();
    EXPECT_LT(next, v);
    EXPECT_GT(next, v * 0.9);
}

double svf_gain(tune::Svf::Mode mode, double cutoff, double q, double hz) {
    tune::Svf f(mode);
    f.set(cutoff, q, kFs);
    std::vector<double> out(16384);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = f.process(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / kFs));
    std::vector<double> tail(out.begin() + 4096, out.end());
    return amplitude_at(tail, hz);
}

TEST(Svf, ResponsesHaveTheirShape) {
    using M = tune::Svf::Mode;
    EXPECT_NEAR(svf_gain(M::LowPass, 1000, 0.707, 100), 1.0, 0.02);
    EXPECT_LT(svf_gain(M::LowPass, 1000, 0.707, 8000), std::pow(10.0, -30.0 / 20));
    EXPECT_NEAR(svf_gain(M::LowPass, 1000, 0.707, 1000), std::sqrt(0.5), 0.03);
    EXPECT_NEAR(svf_gain(M::HighPass, 1000, 0.707, 10000), 1.0, 0.02);
    EXPECT_LT(svf_gain(M::HighPass, 1000, 0.707, 125), std::pow(10.0, -30.0 / 20));
    EXPECT_GT(svf_gain(M::BandPass, 1000, 2.0, 1000), 4 * svf_gain(M::BandPass, 1000, 2.0, 5000));
    EXPECT_GT(svf_gain(M::LowPass, 1000, 5.0, 1000), 4.0); // resonance near q at the cutoff
}

TEST(Svf, StaysStableWhileTheCutoffSweeps) {
    tune::Svf f(tune::Svf::Mode::LowPass);
    tune::Oscillator saw(tune::Wave::Saw);
    saw.set_freq(110.0, kFs);
    double peak = 0.0;
    for (int i = 0; i < 200000; ++i) {
        if (i % 16 == 0) f.set(30.0 + 17000.0 * (0.5 + 0.5 * std::sin(i * 0.0003)), 8.0, kFs);
        double y = f.process(saw.next());
        ASSERT_TRUE(std::isfinite(y));
        peak = std::max(peak, std::fabs(y));
    }
    EXPECT_LT(peak, 20.0);
}

} // namespace
