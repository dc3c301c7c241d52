// The committed data/tune.mp3, decoded with ffmpeg as the demo's player would see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>

#include "audio_checks.h"
#include "composition.h"
#include "timing.h"

namespace {

const std::string kMp3 = std::string(DEMO_SOURCE_DIR) + "/data/tune.mp3";

class TuneMp3 : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        decoded_ = new std::vector<std::int16_t>(tune_test::decode(kMp3));
        mono_ = new std::vector<double>(tune_test::to_mono(*decoded_));
    }
    static void TearDownTestSuite() {
        delete decoded_;
        delete mono_;
    }
    static std::vector<std::int16_t> *decoded_;
    static std::vector<double> *mono_;
};
std::vector<std::int16_t> *TuneMp3::decoded_ = nullptr;
std::vector<double> *TuneMp3::mono_ = nullptr;

TEST_F(TuneMp3, LastsAtLeast152Seconds) {
    int status = 0;
    std::string out = tune_test::run_command(
        "ffprobe -v error -show_entries format=duration:format_tags=title -of default=nw=1 '" +
            kMp3 + "'",
        &status);
    ASSERT_EQ(status, 0);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(out, m, std::regex("duration=([0-9.]+)"))) << out;
    EXPECT_GE(std::stod(m[1]), 152.0);
    EXPECT_NE(out.find("TAG:title=avada kedabra!"), std::string::npos) << out;
    EXPECT_GE(decoded_->size() / 2, static_cast<size_t>(152 * 44100));
}

TEST_F(TuneMp3, PeaksBelowMinusPoint3AndHasNoDc) {
    int peak = 0;
    double sum[2] = {0, 0};
    for (size_t i = 0; i < decoded_->size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>((*decoded_)[i])));
        sum[i % 2] += (*decoded_)[i];
    }
    EXPECT_LE(20.0 * std::log10(peak / 32768.0), -0.3);
    for (double s : sum) EXPECT_LT(std::fabs(s / (decoded_->size() / 2) / 32768.0), 0.0005);
}

TEST_F(TuneMp3, IntegratedLoudnessIsAboutMinus14Lufs) {
    int status = 0;
    std::string out = tune_test::run_command(
        "ffmpeg -nostats -hide_banner -i '" + kMp3 + "' -af ebur128 -f null - 2>&1", &status);
    ASSERT_EQ(status, 0);
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(out, m, std::regex("Integrated loudness:\\s*I:\\s*(-?[0-9.]+) LUFS")))
        << out.substr(out.size() > 2000 ? out.size() - 2000 : 0);
    EXPECT_NEAR(std::stod(m[1]), -14.0, 1.0);
}

TEST_F(TuneMp3, EverySectionStartsWithAnOnset) {
    for (size_t i = 1; i < tune::sections().size(); ++i) {
        const auto &s = tune::sections()[i];
        double heard = s.cut + tune::kPictureLag;
        auto jump = tune_test::energy_jump(*mono_, heard, 0.05);
        EXPECT_GE(jump.db, 6.0) << s.name << " at " << heard << " s";
        EXPECT_NEAR(jump.at, heard, 0.05) << s.name;
    }
}

TEST_F(TuneMp3, ClimaxKickSitsOnTheGrid) {
    auto power = tune_test::low_band_power(*mono_);
    std::vector<double> errors;
    int missing = 0;
    for (int beat = 0; beat < 80; ++beat) {
        double grid = tune::kClimaxStart + beat * tune::kBeat;
        if (grid >= 138.7 - tune::kBeat - 1e-9) break; // the last beat empties out
        double onset = tune_test::low_band_onset(power, grid);
        if (onset < 0) {
            ++missing;
            continue;
        }
        errors.push_back((onset - grid) * 1000.0);
    }
    EXPECT_LE(missing, 2);
    ASSERT_GE(errors.size(), 75u);
    std::vector<double> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    double median = sorted[sorted.size() / 2];
    EXPECT_LT(std::fabs(median), 5.0) << "ms";
    int within = 0;
    for (double e : errors) within += std::fabs(e) <= 7.0;
    EXPECT_GE(within, static_cast<int>(errors.size() * 9 / 10))
        << "median " << median << " ms, first " << errors.front() << " ms";
}

TEST_F(TuneMp3, IsTheCurrentRenderAlignedToTimeZero) {
    // Cross-correlate a stretch of the decoded file with a fresh render: the best lag must be
    // zero (encoder delay trimmed) and the match close (the file is not stale).
    auto render = tune_test::to_mono(tune_test::rendered_piece().pcm);
    const long from = static_cast<long>(60.5 * tune_test::kFs), len = 44100, max_lag = 2000;
    double best = -1e300;
    long best_lag = 0;
    for (long lag = -max_lag; lag <= max_lag; ++lag) {
        double c = 0.0;
        for (long i = 0; i < len; i += 2)
            c += render[static_cast<size_t>(from + i)] *
                 (*mono_)[static_cast<size_t>(from + i + lag)];
        if (c > best) {
            best = c;
            best_lag = lag;
        }
    }
    EXPECT_LE(std::abs(best_lag), 1) << "decoded audio is offset by " << best_lag << " samples";
    double rr = 0, dd = 0, rd = 0;
    for (long i = 0; i < len; ++i) {
        double r = render[static_cast<size_t>(from + i)];
        double d = (*mono_)[static_cast<size_t>(from + i + best_lag)];
        rr += r * r;
        dd += d * d;
        rd += r * d;
    }
    EXPECT_GT(rd / std::sqrt(rr * dd), 0.98) << "data/tune.mp3 does not match the current render";
}

} // namespace
