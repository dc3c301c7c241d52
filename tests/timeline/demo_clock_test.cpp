// The sequencer and the clock in the timeline's own figures, written out rather than read from the
// cut table, so that a mistyped cut, origin or rate fails here.
#include "timeline/demo_clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

float below(float t) {
    return std::nextafter(t, 0.0f);
}

TEST(Sequencer, EachCutBelongsToTheLaterSceneAndLocalTimeCountsFromItsOrigin) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        float t;
        int scene;
        double local;
    } rows[] = {
        {-0.15f, 1, -0.15},      {below(37.7f), 1, 37.7},  {37.7f, 2, 0.0},
        {below(52.7f), 2, 15.0}, {52.7f, 3, 0.0},          {below(60.0f), 3, 7.3},
        {60.0f, 4, 0.0},         {below(67.5f), 4, 7.5},   {67.5f, 5, 0.0},
        {below(74.8f), 5, 7.3},  {74.8f, 6, -0.4},         {75.2f, 6, 0.0},
        {below(89.5f), 6, 14.3}, {89.5f, 7, 0.0},          {below(101.0f), 7, 11.5},
        {101.0f, 8, 0.0},        {below(151.0f), 8, 50.0}, {151.0f, 9, 151.0},
        {151.2f, 9, 151.2},      {1.0e6f, 9, 1.0e6},       {static_cast<float>(nan), 9, nan},
    };
    for (const auto &row : rows) {
        float local = 0.0f;
        EXPECT_EQ(scene_for_clock(row.t, &local), row.scene) << row.t;
        if (std::isnan(row.local))
            EXPECT_TRUE(std::isnan(local));
        else
            EXPECT_NEAR(local, row.local, 2e-5) << row.t;
    }
}

// The clock starts at -0.15 s and moves by the mean of the last five frames' durations.
TEST(Sequencer, ClockTrailsByAFifthOfTheLastFiveFramesAndCatchesUpAStallOverFive) {
    demo_clock_reset();
    demo_clock_advance(0);
    EXPECT_FLOAT_EQ(DemoClock, -0.15f);
    demo_clock_reset();
    for (int now = 20; now <= 100; now += 20) demo_clock_advance(now);
    EXPECT_NEAR(DemoClock, -0.09, 1e-6);
    for (int now = 120; now <= 400; now += 20) {
        demo_clock_advance(now);
        EXPECT_NEAR(DemoClock, -0.15 + (now - 40) / 1000.0, 1e-6) << now;
    }
    // A frame 520 ms after the last: 0.12 s a frame for five frames, then 0.02 s again.
    const double steps[] = {0.12, 0.12, 0.12, 0.12, 0.12, 0.02};
    int now = 920;
    for (double step : steps) {
        const float before = DemoClock;
        demo_clock_advance(now);
        EXPECT_NEAR(DemoClock - before, step, 1e-5) << now;
        now += 20;
    }
}

} // namespace
