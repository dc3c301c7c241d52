// The synthesizer's building blocks: arithmetic, oscillators, envelope, filter, effects and the
// 16-bit output. What the whole piece shows (level, DC, clicks, the limiter's ceiling, the files
// tune-composer writes) is checked in piece_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "automation.h"
#include "delay.h"
#include "ducker.h"
#include "dsp_math.h"
#include "envelope.h"
#include "limiter.h"
#include "oscillator.h"
#include "pcm.h"
#include "reverb.h"
#include "stutter.h"
#include "svf.h"
#include "wav_file.h"

namespace {

constexpr double kFs = 44100.0;

// Amplitude of the component at `hz`, over a Hann window.
double amplitude_at(const std::vector<double> &x, double hz) {
    std::complex<double> sum = 0.0;
    double wsum = 0.0;
    for (size_t i = 0; i < x.size(); ++i) {
        double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / (x.size() - 1));
        sum += w * x[i] * std::polar(1.0, -2.0 * M_PI * hz * static_cast<double>(i) / kFs);
        wsum += w;
    }
    return 2.0 * std::abs(sum) / wsum;
}

std::vector<double> run(tune::Oscillator osc, size_t n) {
    std::vector<double> x(n);
    for (auto &v : x) v = osc.next();
    return x;
}

TEST(DspMath, ElementaryFunctionsMatchTheLibraryAndSoftClipIsOddMonotonicBounded) {
    for (double p = -3.0; p < 3.0; p += 0.00123) {
        ASSERT_NEAR(tune::sin_turns(p), std::sin(2.0 * M_PI * p), 2e-9) << p;
        ASSERT_NEAR(tune::cos_turns(p), std::cos(2.0 * M_PI * p), 2e-9) << p;
    }
    for (double x = -40.0; x < 40.0; x += 0.0371)
        ASSERT_NEAR(tune::exp2_d(x) / std::exp2(x), 1.0, 1e-12) << x;
    EXPECT_DOUBLE_EQ(tune::note_to_hz(69), 440.0);
    for (double x = -5.0; x <= 5.0; x += 0.01) {
        ASSERT_LE(std::fabs(tune::soft_clip(x)), 1.0);
        ASSERT_GE(tune::soft_clip(x + 0.01), tune::soft_clip(x));
        ASSERT_NEAR(tune::soft_clip(x), -tune::soft_clip(-x), 1e-15);
    }
    EXPECT_NEAR(tune::soft_clip(0.01), 0.01, 1e-5);
}

TEST(Oscillator, SawIsBandLimitedAndNoiseIsSeededAndWhite) {
    tune::Oscillator saw(tune::Wave::Saw);
    saw.set_freq(3000.0, kFs);
    auto x = run(saw, 16384);
    EXPECT_NEAR(amplitude_at(x, 3000.0), 2.0 / M_PI, 0.05);
    // Harmonics 12 and 13 of 3 kHz fold back to 8.1 and 5.1 kHz; a naive saw has them at
    // 2 / (n pi). They must be at least 12 dB lower.
    EXPECT_LT(amplitude_at(x, 8100.0), 0.25 * 2.0 / (12 * M_PI));
    EXPECT_LT(amplitude_at(x, 5100.0), 0.25 * 2.0 / (13 * M_PI));

    auto a = run(tune::Oscillator(tune::Wave::Noise, 0, 7), 20000);
    EXPECT_EQ(a, run(tune::Oscillator(tune::Wave::Noise, 0, 7), 20000));
    EXPECT_NE(a, run(tune::Oscillator(tune::Wave::Noise, 0, 8), 20000));
    double var = 0.0, lag1 = 0.0;
    for (size_t i = 1; i < a.size(); ++i) {
        var += a[i] * a[i];
        lag1 += a[i] * a[i - 1];
    }
    EXPECT_NEAR(var / a.size(), 1.0 / 3.0, 0.02);
    EXPECT_LT(std::fabs(lag1 / var), 0.03);
}

TEST(Adsr, StagesTakeTheirTimesAndNeverJump) {
    // (params, gate off after, peak after, level then, release between min and max samples). The
    // release time is from full level: from below it, shorter but not instant. A release during
    // the attack falls from where the attack got to.
    const std::tuple<tune::AdsrParams, int, int, double, int, int> cases[] = {
        {{0.01, 0.05, 0.5, 0.1}, 4410, 441, 0.5, 2206, 4409},
        {{0.001, 0.1, 1.0, 0.1}, 1000, 44, 1.0, 4380, 4440},
        {{0.1, 0.1, 0.8, 0.05}, 441, -1, 0.1, 500, 2205}};
    for (const auto &[params, gate_off, peak_at, level, release_min, release_max] : cases) {
        tune::Adsr env(params, kFs);
        env.gate_on();
        double prev = 0.0, max_step = 0.0;
        int n = 0, peak = -1;
        for (; n < gate_off + 20000 && (n < gate_off || !env.done()); ++n) {
            if (n == gate_off) {
                EXPECT_NEAR(prev, level, 1e-3) << gate_off;
                env.gate_off();
            }
            double v = env.next();
            if (peak < 0 && v >= 1.0) peak = n;
            max_step = std::max(max_step, std::fabs(v - prev));
            prev = v;
        }
        EXPECT_NEAR(peak, peak_at, 2) << gate_off;
        EXPECT_GE(n - gate_off, release_min) << gate_off;
        EXPECT_LE(n - gate_off, release_max) << gate_off;
        EXPECT_EQ(prev, 0.0);
        EXPECT_LE(max_step, 1.0 / (params.attack * kFs) + 1e-9); // the attack is the steepest part
    }
}

TEST(Svf, ResponsesHaveTheirShapeAndStayStableWhileTheCutoffSweeps) {
    using M = tune::Svf::Mode;
    auto gain = [](M mode, double q, double hz) { // at a 1 kHz cutoff
        tune::Svf f(mode);
        f.set(1000.0, q, kFs);
        std::vector<double> out(16384);
        for (size_t i = 0; i < out.size(); ++i)
            out[i] = f.process(std::sin(2.0 * M_PI * hz * static_cast<double>(i) / kFs));
        return amplitude_at({out.begin() + 4096, out.end()}, hz);
    };
    EXPECT_NEAR(gain(M::LowPass, 0.707, 100), 1.0, 0.02);
    EXPECT_NEAR(gain(M::LowPass, 0.707, 1000), std::sqrt(0.5), 0.03);
    EXPECT_LT(gain(M::LowPass, 0.707, 8000), 0.0316); // -30 dB
    EXPECT_NEAR(gain(M::HighPass, 0.707, 10000), 1.0, 0.02);
    EXPECT_LT(gain(M::HighPass, 0.707, 125), 0.0316);
    EXPECT_GT(gain(M::BandPass, 2.0, 1000), 4 * gain(M::BandPass, 2.0, 5000));
    EXPECT_NEAR(gain(M::LowPass, 5.0, 1000), 5.0, 1.0); // resonance near q at the cutoff

    tune::Svf f(M::LowPass);
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

TEST(PingPongDelay, EchoesAlternateSidesAndDecay) {
    tune::PingPongDelay delay(1000, 0.5, 20000.0, kFs);
    std::vector<float> in(4000, 0.0f), l(4000), r(4000);
    in[0] = 1.0f;
    delay.process(in.data(), in.data(), l.data(), r.data(), 4000);
    // Left a delay later, then right at half that, then left at a quarter (less the damping).
    const float want[2][4] = {{0, 1, 0, 0.25f}, {0, 0, 0.5f, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(l[1000 * k], want[0][k], 0.04) << k;
        EXPECT_NEAR(r[1000 * k], want[1][k], 0.04) << k;
    }
}

TEST(Reverb, TailIsWideFiniteAndDies) {
    tune::Reverb reverb(tune::Reverb::Params{}, kFs);
    const int n = static_cast<int>(kFs * 8);
    std::vector<float> in(n, 0.0f), l(n), r(n);
    std::fill(in.begin(), in.begin() + 200, 0.5f);
    reverb.process(in.data(), in.data(), l.data(), r.data(), n);
    double early = 0.0, late = 0.0, lr = 0.0, ll = 0.0, rr = 0.0;
    for (int i = 0; i < n; ++i) {
        ASSERT_TRUE(std::isfinite(l[i]) && std::isfinite(r[i]));
        double e = double(l[i]) * l[i] + double(r[i]) * r[i];
        if (i < kFs / 2) early += e;
        if (i >= kFs * 6) late += e;
        lr += double(l[i]) * r[i];
        ll += double(l[i]) * l[i];
        rr += double(r[i]) * r[i];
    }
    ASSERT_GT(early, 0.0);
    EXPECT_LT(late, early * 1e-6);           // more than 60 dB down after 6 s
    EXPECT_LT(lr / std::sqrt(ll * rr), 0.6); // the sides differ
}

TEST(Ducker, PumpsDownAndBackWithoutSteps) {
    tune::Ducker duck(0.004, 0.2, kFs); // attack 176 samples, release 8820
    std::vector<double> a;
    for (int i = 0; i < 20000; ++i) {
        if (i == 1000 || i == 1300) duck.trigger(); // the second lands mid-pump
        a.push_back(duck.next());
    }
    EXPECT_EQ(a[999], 0.0);
    EXPECT_NEAR(a[1000 + 176], 1.0, 0.01);
    EXPECT_NEAR(a[1300 + 176], 1.0, 0.01);
    EXPECT_EQ(a[1300 + 176 + 8820 + 5], 0.0);
    for (size_t i = 1; i < a.size(); ++i) ASSERT_LT(std::fabs(a[i] - a[i - 1]), 1.0 / 176 + 1e-9);
}

TEST(Limiter, NothingPassesTheCeilingQuietAudioIsUntouchedAndTheGainGlides) {
    std::vector<float> x(2 * 44100); // 220 Hz left, 330 Hz right
    for (size_t i = 0; i < x.size(); ++i) {
        double level = (i > 20000 && i < 24000) ? 4.0 : 0.3; // a burst 12 dB over full scale
        x[i] = static_cast<float>(level * std::sin(2 * M_PI * (i % 2 ? 330 : 220) * (i / 2) / kFs));
    }
    const std::vector<float> original = x;
    tune::limit(x, tune::LimiterParams{}, kFs); // -1 dB ceiling
    const float ceiling = static_cast<float>(std::pow(10.0, -1.0 / 20));
    double worst = 0.0, prev_gain = -1.0;
    for (size_t i = 0; i < x.size(); ++i) {
        ASSERT_LE(std::fabs(x[i]), ceiling * 1.000001f);
        // Before the burst's look-ahead and well after its release the signal is unchanged.
        double tol = i < 2 * 9000 ? 0.0 : i >= 2 * 40000 ? 0.01 : HUGE_VAL;
        ASSERT_LE(std::fabs(x[i] - original[i]), tol * std::fabs(original[i]) + 1e-6) << i;
        if (i % 2 || i < 2 * 9000 || i >= 2 * 20000) continue;
        // Around the burst the gain changes by little from one sample to the next.
        double gain = std::fabs(original[i]) < 0.05 ? -1.0 : x[i] / original[i];
        if (gain >= 0.0 && prev_gain >= 0.0) worst = std::max(worst, std::fabs(gain - prev_gain));
        prev_gain = gain;
    }
    EXPECT_LT(worst, 0.01);
}

TEST(Stutter, RepeatsTheSliceAndLeavesTheRestAlone) {
    const size_t frames = 10000, a = 4410, fade = 66;
    std::vector<float> x(2 * frames);
    for (size_t i = 0; i < frames; ++i) x[2 * i] = x[2 * i + 1] = std::sin(0.05f * i);
    const std::vector<float> original = x;
    // 1000 frames from frame 4410, repeating its first 200 frames.
    tune::apply_stutter(x, {{0.1, 0.1 + 1000 / kFs, 200 / kFs, 1.0}}, kFs);
    for (size_t i = 1; i < frames; ++i) {
        // Every cut is faded: no large sample-to-sample steps anywhere.
        ASSERT_LT(std::fabs(x[2 * i] - x[2 * i - 2]), 0.08f) << i;
        size_t j = (i - a) % 200;
        bool live = i + fade < a || i >= a + 1000 + fade;
        bool repeat = i >= a + 200 && i < a + 1000 && j >= fade && j + fade < 200; // past fades
        if (live || repeat) {
            ASSERT_EQ(x[2 * i], original[live ? 2 * i : 2 * (a + j)]) << i;
        }
    }
}

TEST(Automation, InterpolatesHoldsAndJumps) {
    tune::Automation a;
    EXPECT_EQ(a.at(3.0, 7.0), 7.0); // empty: the fallback
    a.add(2.0, 10.0);
    a.add(1.0, 0.0); // out of order on purpose
    a.add(4.0, 10.0);
    a.add(4.0, 20.0); // a jump at 4 s
    const double want[][2] = {{0, 0}, {1.5, 5}, {3, 10}, {3.999, 10}, {4, 20}, {9, 20}};
    for (const auto &w : want) EXPECT_DOUBLE_EQ(a.at(w[0], -1), w[1]) << w[0];
}

TEST(Pcm, RoundsAndClampsAndHashesAsFnv1a64OverLittleEndianSamples) {
    auto pcm = tune::to_pcm16(
        {0.0f, 1.0f, -1.0f, 2.0f, -2.0f, 0.51f / 32767, -0.49f / 32767, 100.4f / 32767});
    EXPECT_EQ(pcm, std::vector<std::int16_t>({0, 32767, -32767, 32767, -32768, 1, 0, 100}));
    // A published FNV-1a 64 vector: a hash that ignored its input would pass the piece's
    // committed-hash check forever.
    EXPECT_EQ(tune::fnv1a64(reinterpret_cast<const std::uint8_t *>("foobar"), 6),
              0x85944171f73967e8ull);
    const std::uint8_t bytes[4] = {0x01, 0x02, 0xff, 0x7f};
    EXPECT_EQ(tune::pcm_hash({0x0201, 0x7fff}), tune::fnv1a64(bytes, 4));
    EXPECT_EQ(tune::hash_hex(0x00ab00000000cd01ull), "00ab00000000cd01");
    EXPECT_THROW(tune::write_wav("/nonexistent-dir/x.wav", pcm, 2, 44100), std::runtime_error);
}

} // namespace
