// The sequencer over its own table of cuts: each cut's float belongs to the later scene, one float
// below it to the earlier, and local time counts from the scene's origin. The cut times themselves,
// the clock's smoothing and the scene each frame runs are in the parameter dump's golden digest
// (tests/capture), which no frame time lands exactly on a cut for.
#include "timeline/demo_clock.h"
#include "timeline/scene_cuts.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Sequencer, EveryCutBelongsToTheLaterScene) {
    for (int scene = 2; scene <= SceneCount; ++scene) {
        const SceneCut &cut = SceneCuts[scene - 1];
        const float start = static_cast<float>(cut.start);
        float local = NAN;
        EXPECT_EQ(scene_for_clock(start, &local), scene) << start;
        EXPECT_NEAR(local, cut.start - cut.origin, 1e-5) << start;
        EXPECT_EQ(scene_for_clock(std::nextafter(start, 0.0f), &local), scene - 1) << start;
    }
}
