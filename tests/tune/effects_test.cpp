// Delay, reverb, side-chain, limiter, stutter and automation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "automation.h"
#include "delay.h"
#include "ducker.h"
#include "limiter.h"
#include "reverb.h"
#include "stutter.h"

namespace {

constexpr double kFs = 44100.0;

TEST(PingPongDelay, EchoesAlternateSidesAndDecay) {
    const long d = 1000;
    tune::PingPongDelay delay(d, 0.5, 20000.0, kFs);
    const int n = 5000;
    std::vector<float> in_l(n, 0.0f), in_r(n, 0.0f), out_l(n), out_r(n);
    in_l[0] = in_r[0] = 1.0f;
    delay.process(in_l.data(), in_r.data(), out_l.data(), out_r.data(), n);
    auto peak_near = [](const std::vector<float> &x, long at) {
        float p = 0.0f;
        for (long i = at - 5; i <= at + 5; ++i)
            p = std::max(p, std::fabs(x[static_cast<size_t>(i)]));
        return p;
    };
    EXPECT_EQ(out_l[0], 0.0f);
    EXPECT_GT(peak_near(out_l, d), 0.9f); // first echo on the left
    EXPECT_LT(peak_near(out_r, d), 0.01f);
    EXPECT_GT(peak_near(out_r, 2 * d), 0.4f); // then right, quieter
    EXPECT_LT(peak_near(out_r, 2 * d), 0.6f);
    EXPECT_LT(peak_near(out_l, 2 * d), 0.01f);
    EXPECT_GT(peak_near(out_l, 3 * d), 0.2f);
    EXPECT_LT(peak_near(out_l, 3 * d), peak_near(out_r, 2 * d));
}

TEST(Reverb, TailIsWideFiniteAndDies) {
    tune::Reverb reverb(tune::Reverb::Params{}, kFs);
    const int n = static_cast<int>(kFs * 8);
    std::vector<float> in_l(n, 0.0f), in_r(n, 0.0f), out_l(n), out_r(n);
    for (int i = 0; i < 200; ++i)
        in_l[static_cast<size_t>(i)] = in_r[static_cast<size_t>(i)] = 0.5f;
    reverb.process(in_l.data(), in_r.data(), out_l.data(), out_r.data(), n);
    auto energy = [&](double from, double to) {
        double e = 0.0;
        for (auto i = static_cast<size_t>(from * kFs); i < static_cast<size_t>(to * kFs); ++i)
            e += double(out_l[i]) * out_l[i] + double(out_r[i]) * out_r[i];
        return e;
    };
    double early = energy(0.0, 0.5), late = energy(6.0, 8.0);
    ASSERT_GT(early, 0.0);
    EXPECT_LT(late, early * 1e-6); // more than 60 dB down
    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (int i = 0; i < n; ++i) {
        lr += double(out_l[i]) * out_r[i];
        ll += double(out_l[i]) * out_l[i];
        rr += double(out_r[i]) * out_r[i];
    }
    EXPECT_LT(lr / std::sqrt(ll * rr), 0.6); // the sides differ
    for (int i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(out_l[i]));
}

TEST(Ducker, PumpsDownAndBackWithoutSteps) {
    tune::Ducker duck(0.004, 0.2, kFs);
    std::vector<double> a;
    for (int i = 0; i < 20000; ++i) {
        if (i == 1000 || i == 1300) duck.trigger(); // the second lands mid-pump
        a.push_back(duck.next());
    }
    EXPECT_EQ(a[999], 0.0);
    EXPECT_NEAR(a[1000 + 176], 1.0, 0.01); // fully down after the attack
    EXPECT_NEAR(a[1300 + 176], 1.0, 0.01);
    EXPECT_EQ(a[1300 + 176 + 8820 + 5], 0.0); // back up after the release
    double max_step = 0.0;
    for (size_t i = 1; i < a.size(); ++i) max_step = std::max(max_step, std::fabs(a[i] - a[i - 1]));
    EXPECT_LT(max_step, 1.0 / 176 + 1e-9);
}

TEST(Limiter, NothingPassesTheCeilingAndQuietAudioIsUntouched) {
    std::vector<float> x(2 * 44100);
    for (size_t i = 0; i < x.size() / 2; ++i) {
        double t = static_cast<double>(i) / kFs;
        double level = (i > 10000 && i < 12000) ? 4.0 : 0.3; // a burst 12 dB over full scale
        x[2 * i] = static_cast<float>(level * std::sin(2 * M_PI * 220 * t));
        x[2 * i + 1] = static_cast<float>(level * std::sin(2 * M_PI * 330 * t));
    }
    const std::vector<float> original = x;
    tune::LimiterParams p;
    p.ceiling_db = -1.0;
    tune::limit(x, p, kFs);
    const float ceiling = static_cast<float>(std::pow(10.0, -1.0 / 20));
    for (float v : x) ASSERT_LE(std::fabs(v), ceiling * 1.000001f);
    // Before the burst's look-ahead and well after its release the signal is unchanged.
    for (size_t i = 0; i < 2 * 9000; ++i) ASSERT_FLOAT_EQ(x[i], original[i]);
    for (size_t i = 2 * 40000; i < x.size(); ++i)
        ASSERT_NEAR(x[i], original[i], 0.01 * std::fabs(original[i]) + 1e-6);
    // The gain glides: it changes by little from one sample to the next.
    double worst = 0.0, prev_gain = -1.0;
    for (size_t i = 2 * 9000; i < 2 * 20000; i += 2) {
        if (std::fabs(original[i]) < 0.05) {
            prev_gain = -1.0;
            continue;
        }
        double gain = x[i] / original[i];
        if (prev_gain >= 0.0) worst = std::max(worst, std::fabs(gain - prev_gain));
        prev_gain = gain;
    }
    EXPECT_LT(worst, 0.01);
}

TEST(Stutter, RepeatsTheSliceAndLeavesTheRestAlone) {
    const size_t frames = 10000;
    std::vector<float> x(2 * frames);
    for (size_t i = 0; i < frames; ++i) x[2 * i] = x[2 * i + 1] = std::sin(0.05f * i);
    const std::vector<float> original = x;
    // 1000 frames from frame 4410, repeating its first 200 frames.
    tune::StutterSegment seg{0.1, 0.1 + 1000 / kFs, 200 / kFs, 1.0};
    tune::apply_stutter(x, {seg}, kFs);
    const size_t a = 4410, fade = 66;
    for (size_t i = 0; i + fade < a; ++i) ASSERT_EQ(x[2 * i], original[2 * i]);
    for (size_t i = a + 1000 + fade; i < frames; ++i) ASSERT_EQ(x[2 * i], original[2 * i]);
    for (size_t k = 1; k < 5; ++k)
        for (size_t j = fade; j + fade < 200; ++j)
            ASSERT_FLOAT_EQ(x[2 * (a + 200 * k + j)], original[2 * (a + j)]);
    // Every cut is faded: no large sample-to-sample steps anywhere.
    for (size_t i = 1; i < frames; ++i) ASSERT_LT(std::fabs(x[2 * i] - x[2 * i - 2]), 0.08f) << i;
}

TEST(Automation, InterpolatesHoldsAndJumps) {
    tune::Automation a;
    EXPECT_EQ(a.at(3.0, 7.0), 7.0);
    a.add(2.0, 10.0);
    a.add(1.0, 0.0); // out of order on purpose
    a.add(4.0, 10.0);
    a.add(4.0, 20.0); // a jump at 4 s
    EXPECT_EQ(a.at(0.0, -1), 0.0);
    EXPECT_DOUBLE_EQ(a.at(1.5, -1), 5.0);
    EXPECT_EQ(a.at(3.0, -1), 10.0);
    EXPECT_EQ(a.at(3.999, -1), 10.0);
    EXPECT_EQ(a.at(4.0, -1), 20.0);
    EXPECT_EQ(a.at(9.0, -1), 20.0);
}

} // namespace
