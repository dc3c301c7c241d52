// Expected clock values below were worked out by hand (in float/double arithmetic outside this
// code base), not by calling the clock.
#include "gfx/programs.h"
#include "timeline/demo_clock.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::vector<GLuint> Passes;

class Clock : public ::testing::Test {
  protected:
    void SetUp() override {
        demo_clock_reset();
        Passes.clear();
        SceneDraw = {[](GLuint program) { Passes.push_back(program); }, [](float) {}};
        for (int i = 0; i < SceneProgramCount; ++i) SceneProgramTable[i] = 100 + i;
    }
    void TearDown() override { SceneDraw = SceneDrawGl; }
};

TEST_F(Clock, AFirstFrameAtZeroRunsSceneOneAtMinus015) {
    render_frame(0);
    EXPECT_EQ(DemoClock, -0.15f);
    ASSERT_EQ(Passes, std::vector<GLuint>{100});
    EXPECT_EQ(ParameterBlock[0], -0.15f);
}

TEST_F(Clock, SteadyFramesAverageTheLastFiveStamps) {
    const float expected[5] = {-0.14600001275539398f, -0.1380000114440918f, -0.12600001692771912f,
                               -0.11000001430511475f, -0.09000001102685928f};
    for (int i = 0; i < 5; ++i) {
        render_frame(20 * (i + 1));
        EXPECT_EQ(DemoClock, expected[i]) << "frame " << i;
    }
    for (int now = 120; now <= 1000; now += 20) render_frame(now);
    // From the fifth frame on: -0.15 + (now - 40) / 1000, within float rounding.
    EXPECT_NEAR(DemoClock, -0.15 + (1000 - 40) / 1000.0, 1e-5);
    EXPECT_EQ(FrameHistory[0], 920);
    EXPECT_EQ(FrameHistory[4], 1000);
}

TEST_F(Clock, AStallIsCaughtUpOverFiveFrames) {
    int now = 0;
    for (int i = 0; i < 10; ++i) render_frame(now += 20);
    std::vector<double> steps;
    float before = DemoClock;
    render_frame(now += 520);
    for (int i = 0; i < 6; ++i) {
        steps.push_back(DemoClock - before);
        before = DemoClock;
        render_frame(now += 20);
    }
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(steps[i], 0.12, 1e-6) << "frame " << i;
    EXPECT_NEAR(steps[5], 0.02, 1e-6);
}

struct Boundary {
    float clock;
    int scene;
    float local;
};

TEST(Sequencer, EveryRowBoundaryBelongsToTheLaterScene) {
    const Boundary at[] = {{37.7f, 2, 0.0f},
                           {52.7f, 3, 0.0f},
                           {60.0f, 4, 0.0f},
                           {67.5f, 5, 0.0f},
                           {74.8f, 6, -0.399993896484375f}, // 74.8f - 75.2f, not -0.4f
                           {89.5f, 7, 0.0f},
                           {101.0f, 8, 0.0f},
                           {151.0f, 9, 151.0f},
                           {151.2f, 9, 151.2f}};
    for (const Boundary &b : at) {
        float local = -1;
        EXPECT_EQ(scene_for_clock(b.clock, &local), b.scene) << b.clock;
        EXPECT_EQ(local, b.local) << b.clock;
        EXPECT_EQ(scene_for_clock(std::nextafter(b.clock, 0.0f), &local),
                  b.scene == 9 && b.clock > 151.0f ? 9 : b.scene - 1)
            << "just below " << b.clock;
    }
    float local = 0;
    EXPECT_EQ(scene_for_clock(-0.15f, &local), 1);
    EXPECT_EQ(local, -0.15f);
    EXPECT_EQ(scene_for_clock(88.0f, &local), 6);
    EXPECT_EQ(local, 12.800003051757812f); // 88 - 75.2f
    EXPECT_EQ(scene_for_clock(150.99f, &local), 8);
    EXPECT_EQ(local, 49.99000549316406f); // 150.99f - 101
}

TEST_F(Clock, EachFrameClearsTheBlockAndDrawsOneSceneWithItsProgram) {
    // Clock values placed inside each scene through the clock itself.
    const struct {
        float clock;
        GLuint program;
    } scenes[] = {{10.0f, 100}, {40.0f, 107}, {55.0f, 105},  {62.0f, 104}, {70.0f, 105},
                  {80.0f, 103}, {95.0f, 106}, {120.0f, 106}, {160.0f, 101}};
    for (const auto &s : scenes) {
        demo_clock_reset();
        DemoClock = s.clock;
        for (float &slot : ParameterBlock) slot = 99.0f;
        Passes.clear();
        render_frame(0);
        EXPECT_EQ(Passes, std::vector<GLuint>{s.program}) << s.clock;
    }
    // Scene 9 writes slot 0 alone: everything else is the frame's clearing.
    EXPECT_EQ(ParameterBlock[0], 160.0f);
    for (int k = 1; k < ParameterCount; ++k) EXPECT_EQ(ParameterBlock[k], 0.0f) << k;
}

} // namespace
