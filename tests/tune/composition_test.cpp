// The composition's data against the picture's timeline.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "composition.h"
#include "timing.h"

namespace {

using tune::Instrument;

std::vector<tune::Event> of(const tune::Score &s, Instrument i) {
    std::vector<tune::Event> out;
    for (const auto &e : s.events)
        if (e.instrument == i) out.push_back(e);
    std::stable_sort(out.begin(), out.end(),
                     [](const tune::Event &a, const tune::Event &b) { return a.time < b.time; });
    return out;
}

TEST(Timeline, GridPutsBar54On101Point2) {
    EXPECT_NEAR(tune::step_time(54 * 16), 101.2, 1e-9);
    EXPECT_NEAR(tune::kBar, 1.875, 1e-12);
    for (int k = 0; k <= 10; ++k)
        EXPECT_NEAR(tune::step_time((54 + 2 * k) * 16), 101.2 + 3.75 * k, 1e-9);
}

TEST(Timeline, EverySectionEntersWithinTwentyMillisecondsOfItsCut) {
    // Picture cuts (clock time); music is heard 0.2 s later.
    const double cuts[] = {37.7, 52.7, 60.0, 67.5, 74.8, 89.5, 101.0, 138.5};
    const auto &secs = tune::sections();
    ASSERT_EQ(secs.size(), 9u);
    for (size_t i = 0; i < 8; ++i) {
        const auto &s = secs[i + 1];
        EXPECT_NEAR(s.entry, cuts[i] + 0.2, 0.02) << s.name;
        // Sections tile the grid.
        EXPECT_EQ(secs[i].first_step + secs[i].steps, s.first_step) << s.name;
    }
    EXPECT_NEAR(secs[7].entry, 101.2, 1e-9);
    EXPECT_NEAR(secs[8].entry, 138.7, 1e-9);
}

TEST(Score, EachSectionHasAHitOnItsEntry) {
    const tune::Score score = tune::compose();
    for (size_t i = 1; i < tune::sections().size(); ++i) {
        const auto &sec = tune::sections()[i];
        bool hit = std::any_of(score.events.begin(), score.events.end(), [&](const tune::Event &e) {
            bool percussive = e.instrument == Instrument::Crash ||
                              e.instrument == Instrument::Impact ||
                              e.instrument == Instrument::Snare || e.instrument == Instrument::Kick;
            return percussive && std::fabs(e.time - sec.entry) < 1e-6;
        });
        EXPECT_TRUE(hit) << sec.name;
    }
}

TEST(Score, ClimaxKicksAreOnTheBeatGridAndItsSegmentsChange) {
    const tune::Score score = tune::compose();
    int on_grid = 0;
    for (const auto &e : of(score, Instrument::Kick)) {
        if (e.time < 101.2 - 1e-9 || e.time >= 138.7) continue;
        double beats = (e.time - 101.2) / tune::kBeat;
        ASSERT_NEAR(beats, std::round(beats), 1e-9) << e.time;
        ++on_grid;
    }
    EXPECT_GE(on_grid, 79); // 80 beats, the last may empty out
    // Each two-bar segment differs from the one before in what plays.
    auto signature = [&](int seg) {
        double a = 101.2 + 3.75 * seg, b = a + 3.75;
        std::vector<int> counts(tune::kInstrumentCount, 0);
        for (const auto &e : score.events)
            if (e.time >= a - 1e-9 && e.time < b - 1e-9) ++counts[static_cast<int>(e.instrument)];
        std::vector<double> pitches;
        for (const auto &e : of(score, Instrument::Lead))
            if (e.time >= a - 1e-9 && e.time < b - 1e-9) pitches.push_back(e.note);
        return std::make_pair(counts, pitches);
    };
    for (int s = 1; s < 10; ++s) EXPECT_NE(signature(s), signature(s - 1)) << "segment " << s;
}

TEST(Score, TheOpeningMotifReturnsInTheClimax) {
    const tune::Score score = tune::compose();
    std::vector<double> opening, climax;
    for (const auto &e : of(score, Instrument::Bell))
        if (e.time < 37.9 && opening.size() < 11) opening.push_back(e.note);
    for (const auto &e : of(score, Instrument::Lead))
        if (e.time >= 101.2 - 1e-9 && climax.size() < 11) climax.push_back(e.note);
    ASSERT_EQ(opening.size(), 11u);
    EXPECT_EQ(opening, climax);
}

TEST(Score, EventsAreMusicalAndEndBeforeTheFade) {
    const tune::Score score = tune::compose();
    EXPECT_GE(score.length, 152.0);
    EXPECT_LE(score.fade_end, 151.0);
    EXPECT_GT(score.fade_end, score.fade_start);
    ASSERT_GT(score.events.size(), 1000u);
    for (const auto &e : score.events) {
        ASSERT_GE(e.time, 0.0);
        ASSERT_LT(e.time, score.fade_end - 2.0);
        ASSERT_GT(e.length, 0.0);
        ASSERT_GT(e.velocity, 0.0);
        ASSERT_LE(e.velocity, 1.2);
        ASSERT_GE(e.note, 24);
        ASSERT_LE(e.note, 100);
    }
    // No drums in the opening or after the outro's first hit.
    for (Instrument d : {Instrument::Kick, Instrument::Snare, Instrument::Clap,
                         Instrument::ClosedHat, Instrument::OpenHat})
        for (const auto &e : of(score, d)) {
            EXPECT_GE(e.time, 37.9 - 0.02);
            EXPECT_LT(e.time, 138.7);
        }
    // Stutter fills close each meadow scene, ending on the next entry.
    const auto &secs = tune::sections();
    for (int i : {3, 4, 5}) {
        bool ends = std::any_of(
            score.stutters.begin(), score.stutters.end(), [&](const tune::StutterSegment &s) {
                return std::fabs(s.end - secs[static_cast<size_t>(i)].entry) < 1e-9 &&
                       s.start > secs[static_cast<size_t>(i)].entry - 1.0;
            });
        EXPECT_TRUE(ends) << secs[static_cast<size_t>(i)].name;
    }
}

} // namespace
