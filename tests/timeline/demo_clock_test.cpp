// The sequencer's bounds, each exactly on its float and one step below it. The clock's smoothing
// and the scene each frame runs are in the parameter dump's golden digest (tests/capture), which
// no frame time lands exactly on a bound for.
#include "timeline/demo_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Sequencer, EveryBoundBelongsToTheLaterScene) {
    const struct {
        float clock;
        int scene;
        float local;
    } bounds[] = {{37.7f, 2, 0.0f},
                  {52.7f, 3, 0.0f},
                  {60.0f, 4, 0.0f},
                  {67.5f, 5, 0.0f},
                  {74.8f, 6, -0.399993896484375f}, // 74.8f - 75.2f, not -0.4f
                  {89.5f, 7, 0.0f},
                  {101.0f, 8, 0.0f},
                  {151.0f, 9, 151.0f}}; // scene 9 takes the full clock
    for (const auto &b : bounds) {
        float local = -1;
        EXPECT_EQ(scene_for_clock(b.clock, &local), b.scene) << b.clock;
        EXPECT_EQ(local, b.local) << b.clock;
        EXPECT_EQ(scene_for_clock(std::nextafter(b.clock, 0.0f), &local), b.scene - 1) << b.clock;
    }
}

} // namespace
