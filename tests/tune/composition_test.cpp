// The composition's data against the picture's timeline. Its timing as heard (an onset at every
// cut, the climax kick on the beat) is checked on the decoded MP3 in piece_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "composition.h"

namespace {

using tune::Instrument;

TEST(Timeline, EverySectionEntersWithinTwentyMillisecondsOfItsCut) {
    // Picture cuts (clock time); music is heard 0.2 s later.
    const double cuts[] = {37.7, 52.7, 60.0, 67.5, 74.8, 89.5, 101.0, 138.5};
    const auto &secs = tune::sections();
    ASSERT_EQ(secs.size(), 9u);
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_NEAR(secs[i + 1].entry, cuts[i] + 0.2, 0.02) << secs[i + 1].name;
        EXPECT_EQ(secs[i].first_step + secs[i].steps, secs[i + 1].first_step); // they tile the grid
    }
    EXPECT_NEAR(secs[7].entry, 101.2, 1e-9);
    EXPECT_NEAR(secs[8].entry, 138.7, 1e-9);
}

TEST(Score, IsMusicalAndQuotesTheOpeningInAClimaxThatKeepsChanging) {
    const tune::Score score = tune::compose();
    ASSERT_GT(score.events.size(), 1000u);
    for (const auto &e : score.events) {
        ASSERT_TRUE(e.time >= 0.0 && e.time < score.fade_end - 2.0 && e.length > 0.0 &&
                    e.velocity > 0.0 && e.velocity <= 1.2 && e.note >= 24 && e.note <= 100)
            << "event at " << e.time << " s";
        // No drums in the opening or after the outro's first hit.
        bool drum = e.instrument >= Instrument::Kick && e.instrument <= Instrument::OpenHat;
        EXPECT_TRUE(!drum || (e.time >= 37.9 - 0.02 && e.time < 138.7)) << e.time;
    }
    // Stutter fills close each meadow scene, ending on the next entry.
    for (size_t i : {3, 4, 5}) {
        const double entry = tune::sections()[i].entry;
        EXPECT_TRUE(std::any_of(score.stutters.begin(), score.stutters.end(), [&](const auto &s) {
            return std::fabs(s.end - entry) < 1e-9 && s.start > entry - 1.0;
        })) << tune::sections()[i].name;
    }
    auto notes = [&](Instrument i, double from, double to) { // in time order
        std::multimap<double, double> by_time;
        for (const auto &e : score.events)
            if (e.instrument == i && e.time >= from - 1e-9 && e.time < to - 1e-9)
                by_time.emplace(e.time, e.note);
        std::vector<double> out;
        for (const auto &tn : by_time) out.push_back(tn.second);
        return out;
    };
    // The opening's eleven-note motif returns in the climax...
    std::vector<double> opening = notes(Instrument::Bell, 0.0, 37.9);
    std::vector<double> climax = notes(Instrument::Lead, 101.2, 1e9);
    ASSERT_GE(opening.size(), 11u);
    ASSERT_GE(climax.size(), 11u);
    EXPECT_TRUE(std::equal(opening.begin(), opening.begin() + 11, climax.begin()));
    // ...and each two-bar segment differs from the one before in what plays or in the lead's line.
    auto signature = [&](int seg) {
        double a = 101.2 + 3.75 * seg, b = a + 3.75;
        std::vector<int> counts(tune::kInstrumentCount, 0);
        for (const auto &e : score.events)
            if (e.time >= a - 1e-9 && e.time < b - 1e-9) ++counts[static_cast<int>(e.instrument)];
        return std::make_pair(counts, notes(Instrument::Lead, a, b));
    };
    for (int s = 1; s < 10; ++s) EXPECT_NE(signature(s), signature(s - 1)) << "segment " << s;
}

} // namespace
