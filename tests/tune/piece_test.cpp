// The rendered piece: bit-exact against the committed hash, clean, and silent at the end.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "audio_checks.h"
#include "pcm.h"

namespace {

class Piece : public ::testing::Test {
  protected:
    static const std::vector<std::int16_t> &pcm() { return tune_test::rendered_piece().pcm; }
};

TEST_F(Piece, MatchesTheCommittedHash) {
    std::ifstream f(std::string(DEMO_SOURCE_DIR) + "/tools/tune/tune.hash");
    std::string expected;
    ASSERT_TRUE(f >> expected) << "tools/tune/tune.hash is missing";
    EXPECT_EQ(tune::hash_hex(tune::pcm_hash(pcm())), expected)
        << "the rendered samples changed; if intended, re-render data/tune.mp3 and update the hash";
}

TEST_F(Piece, IsLongEnoughAndMastered) {
    EXPECT_GE(pcm().size() / 2, static_cast<size_t>(152 * 44100));
    EXPECT_NEAR(tune_test::rendered_piece().master.loudness_lufs, -14.0, 0.1);
    int peak = 0;
    for (auto s : pcm()) peak = std::max(peak, std::abs(static_cast<int>(s)));
    EXPECT_LE(peak, static_cast<int>(32767 * std::pow(10.0, -1.0 / 20)) + 1); // limiter ceiling
    EXPECT_GT(peak, 32767 / 4);
}

TEST_F(Piece, HasNoDcOffset) {
    // Whole piece and every 5 s window.
    const size_t frames = pcm().size() / 2, win = 5 * 44100;
    for (int c = 0; c < 2; ++c) {
        double total = 0.0;
        for (size_t w = 0; w + win <= frames; w += win) {
            double sum = 0.0;
            for (size_t i = w; i < w + win; ++i) sum += pcm()[2 * i + c];
            total += sum;
            EXPECT_LT(std::fabs(sum / win / 32768.0), 0.002) << "window at " << w / 44100 << " s";
        }
        EXPECT_LT(std::fabs(total / frames / 32768.0), 0.0005);
    }
}

TEST_F(Piece, HasNoClicks) {
    auto clicks = tune_test::find_clicks(pcm());
    for (size_t i = 0; i < clicks.size() && i < 10; ++i)
        ADD_FAILURE() << "click at " << clicks[i].frame / 44100.0 << " s, channel "
                      << clicks[i].channel << ", " << clicks[i].ratio << "x its surroundings";
    EXPECT_TRUE(clicks.empty()) << clicks.size() << " clicks";
}

TEST_F(Piece, FadesToSilenceBy151Seconds) {
    for (size_t i = 151 * 44100 * 2; i < pcm().size(); ++i) ASSERT_EQ(pcm()[i], 0) << i / 2;
    // ...but is still playing shortly before.
    int late = 0;
    for (size_t i = 148 * 44100 * 2; i < 149 * 44100 * 2; ++i)
        late = std::max(late, std::abs(static_cast<int>(pcm()[i])));
    EXPECT_GT(late, 30);
}

} // namespace
