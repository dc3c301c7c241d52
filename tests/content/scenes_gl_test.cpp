// Every scene through its own script on llvmpipe: finite colours at every time and knob setting,
// a picture that is neither flat nor black outside the intended fades, and nine scenes that do not
// look alike.
#include "content_gl.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct SceneCase {
    int scene;
    // Local times where a picture must show, and times inside fades where it need only be finite.
    std::vector<float> shown;
    std::vector<float> fading;
    // The MIDI controllers its script reads, and the times to turn them at.
    std::vector<int> controllers;
    std::vector<float> tuned_at;
};

// Spans in local time: 1 from -0.15 to 37.7, 2 to 15, 3 and 5 to 7.3, 4 to 7.5, 6 from -0.4 to
// 14.3, 7 to 11.5, 8 to 50, 9 from the clock 151 on. Scene 8 is looked at once in each of its
// eleven segments.
const SceneCase Cases[] = {
    {1, {6.5f, 18.85f, 30.0f}, {-0.15f, 2.0f, 37.6f}, {}, {}},
    {2, {3.0f, 7.5f, 14.9f}, {0.0f}, {}, {}},
    {3, {1.5f, 3.65f, 6.0f}, {0.0f, 7.25f}, {2, 3, 4, 5, 6}, {3.65f}},
    {4, {1.5f, 3.75f, 6.2f}, {0.0f, 7.45f}, {2, 3, 4, 5}, {3.75f}},
    {5, {1.5f, 3.65f, 6.0f}, {0.0f, 7.25f}, {2, 3, 4, 5}, {3.65f}},
    {6, {1.0f, 6.95f, 12.0f}, {-0.4f, 14.25f}, {2, 3, 4, 5, 6}, {6.95f}},
    {7, {5.75f, 9.0f}, {0.0f, 11.45f}, {}, {}},
    {8,
     {1.9f, 5.6f, 9.4f, 13.1f, 16.9f, 20.6f, 24.4f, 28.1f, 31.9f, 35.6f, 40.0f},
     {49.95f},
     {2, 3, 4, 5, 8, 9, 12, 13},
     {1.9f, 13.1f, 20.6f, 31.9f}},
    {9, {151.5f, 155.0f, 170.0f}, {}, {}, {}},
};

// Names the case in test output instead of its bytes.
void PrintTo(const SceneCase &c, std::ostream *out) {
    *out << "scene " << c.scene;
}

// Well above a frame of grain alone, well below any picture with a subject.
constexpr double MinimumDeviation = 0.05;

class Scene : public testing::TestWithParam<SceneCase> {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(content_gl_ready()); }
};

std::string describe(int scene, float t, const char *knobs) {
    char text[96];
    std::snprintf(text, sizeof text, "scene %d at %.2f s, knobs %s", scene, static_cast<double>(t),
                  knobs);
    return text;
}

void expect_picture(int scene, float t, const char *knobs, bool must_show) {
    const FloatFrame frame = render_scene(scene, t);
    ASSERT_FALSE(frame.rgba.empty()) << "no floating-point target";
    const FrameStats stats = frame_stats(frame);
    EXPECT_EQ(stats.non_finite, 0) << describe(scene, t, knobs);
    if (must_show) {
        EXPECT_GT(stats.luma_deviation, MinimumDeviation)
            << describe(scene, t, knobs) << ": flat or black (mean luma " << stats.luma_mean << ")";
    }
}

TEST_P(Scene, ShowsAFinitePictureAtItsDefaults) {
    const SceneCase &c = GetParam();
    for (float t : c.shown) expect_picture(c.scene, t, "at their defaults", true);
    for (float t : c.fading) expect_picture(c.scene, t, "at their defaults", false);
}

class TunedScene : public Scene {};

TEST_P(TunedScene, ShowsAFinitePictureAtEveryKnobExtreme) {
    const SceneCase &c = GetParam();
    // All at 0, all at 1, and alternating, so that no pair of knobs is only seen moving together.
    for (float t : c.tuned_at) {
        turn_controllers(c.controllers, 0);
        expect_picture(c.scene, t, "all at 0", true);
        turn_controllers(c.controllers, 127);
        expect_picture(c.scene, t, "all at 1", true);
        for (size_t i = 0; i < c.controllers.size(); ++i)
            turn_controllers({c.controllers[i]}, i % 2 ? 127 : 0);
        expect_picture(c.scene, t, "alternating 0 and 1", true);
        release_controllers(c.controllers);
    }
}

std::string case_name(const testing::TestParamInfo<SceneCase> &info) {
    return "scene_" + std::to_string(info.param.scene);
}

std::vector<SceneCase> tuned_cases() {
    std::vector<SceneCase> tuned;
    for (const SceneCase &c : Cases)
        if (!c.controllers.empty()) tuned.push_back(c);
    return tuned;
}

INSTANTIATE_TEST_SUITE_P(Each, Scene, testing::ValuesIn(Cases), case_name);
INSTANTIATE_TEST_SUITE_P(Each, TunedScene, testing::ValuesIn(tuned_cases()), case_name);

TEST(Scenes, DifferFromOneAnother) {
    ASSERT_TRUE(content_gl_ready());
    // The middle of each scene's span; scene 9 one second into it, as the contact sheet shows it.
    const float middle[9] = {18.85f, 7.5f, 3.65f, 3.75f, 3.65f, 6.95f, 5.75f, 25.0f, 152.0f};
    std::vector<FloatFrame> frames;
    for (int scene = 1; scene <= 9; ++scene)
        frames.push_back(render_scene(scene, middle[scene - 1]));
    // The whole table goes to the log: a failing pair is easier to mend knowing its neighbours.
    for (int a = 0; a < 9; ++a) {
        std::printf("scene %d:", a + 1);
        for (int b = 0; b < 9; ++b) std::printf(" %.3f", mean_abs_difference(frames[a], frames[b]));
        std::printf("\n");
    }
    for (int a = 0; a < 9; ++a)
        for (int b = a + 1; b < 9; ++b)
            EXPECT_GT(mean_abs_difference(frames[a], frames[b]), 0.1)
                << "scenes " << a + 1 << " and " << b + 1 << " look alike";
}

} // namespace
