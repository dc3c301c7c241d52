// The demo's content on headless Mesa: every scene draws a finite picture that is not flat at
// several times and knob settings. That each shader file compiles without a warning is
// glslangValidator's check (content.glslang.*); a build that fails here raises a box.
#define GL_GLEXT_PROTOTYPES 1 // Mesa exports the framebuffer and program calls the demo never makes
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Once per process: a headless context, the repository root as working directory (where data/
// lies), the demo's resources loaded with no box raised, and an RGBA32F target bound, so that
// NaN, infinity and values beyond 0..1 survive to be read back.
class Content : public testing::Test {
  protected:
    void SetUp() override {
        static std::string boxes;
        static const bool ready = [] {
            MessageBoxHook = [](void *, const char *text, const char *caption, int) {
                boxes += std::string(caption) + ": " + text + "\n";
            };
            if (!headless_context_init(1024, 576)) return false;
            std::filesystem::current_path(DEMO_SOURCE_DIR);
            GLuint target = 0, framebuffer = 0;
            glGenTextures(1, &target);
            glBindTexture(GL_TEXTURE_2D, target);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, 512, 256, 0, GL_RGBA, GL_FLOAT, nullptr);
            glGenFramebuffers(1, &framebuffer);
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
            return load_resources() != 0;
        }();
        ASSERT_TRUE(ready && boxes.empty()) << boxes;
    }
};

std::vector<float> Pass; // what the last scene pass drew

// As scene_pass draws the program, at half the demo's size: the shaders depend on
// objectPosition, not on the pixel count, and llvmpipe takes a quarter of the time.
void capture_pass(void *, GLuint program) {
    glViewport(0, 0, 512, 256);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(ParameterBlock);
    glUseProgram(program);
    glBindTexture(GL_TEXTURE_2D, NoiseTexture);
    gluSphere(SceneQuadric, 2.0, 16, 16);
    Pass.resize(512 * 256 * 4);
    glReadPixels(0, 0, 512, 256, GL_RGBA, GL_FLOAT, Pass.data());
}

// Local times where a picture must show, times inside fades where it need only be finite, and
// times to turn the MIDI controllers its script reads (knobs) at. Spans in local time: 1 from
// -0.15 to 37.7, 2 to 15, 3 and 5 to 7.3, 4 to 7.5, 6 from -0.4 to 14.3, 7 to 11.5, 8 to 50 (seen
// once in each of its eleven segments), 9 from the clock 151 on.
struct SceneCase {
    int scene;
    std::vector<float> shown, fading, tuned_at;
    std::vector<int> knobs;
};
// clang-format off
const SceneCase Cases[] = {
    {1, {6.5, 18.85, 30.0}, {-0.15, 2.0, 37.6}, {}, {}},
    {2, {3.0, 7.5, 14.9}, {0.0}, {}, {}},
    {3, {1.5, 3.65, 6.0}, {0.0, 7.25}, {3.65}, {2, 3, 4, 5, 6}},
    {4, {1.5, 3.75, 6.2}, {0.0, 7.45}, {3.75}, {2, 3, 4, 5}},
    {5, {1.5, 3.65, 6.0}, {0.0, 7.25}, {3.65}, {2, 3, 4, 5}},
    {6, {1.0, 6.95, 12.0}, {-0.4, 14.25}, {6.95}, {2, 3, 4, 5, 6}},
    {7, {5.75, 9.0}, {0.0, 11.45}, {}, {}},
    {8, {1.9, 5.6, 9.4, 13.1, 16.9, 20.6, 24.4, 28.1, 31.9, 35.6, 40.0}, {49.95},
        {1.9, 13.1, 20.6, 31.9}, {2, 3, 4, 5, 8, 9, 12, 13}},
    {9, {151.5, 155.0, 170.0}, {}, {}, {}},
};
// clang-format on
class Scene : public Content, public testing::WithParamInterface<SceneCase> {};

TEST_P(Scene, ShowsAFinitePictureAtEveryTimeAndKnobSetting) {
    static void (*const scripts[9])(float) = {scene_1, scene_2, scene_3, scene_4, scene_5,
                                              scene_6, scene_7, scene_8, scene_9};
    static const double weight[3] = {0.299, 0.587, 0.114}; // luma from red, green and blue
    const SceneCase &c = GetParam();
    // The knobs at their defaults (where the fading times need only be finite), then all at 0,
    // all at 1 and alternating, so that no pair of knobs is only seen moving together.
    for (int setting = 0; setting < 4; ++setting) {
        for (size_t i = 0; setting > 0 && i < c.knobs.size(); ++i)
            Tuning.receive(0xb0, c.knobs[i], setting == 3 ? 127 * (i % 2) : 127 * (setting - 1));
        std::vector<float> times = setting ? c.tuned_at : c.shown;
        if (!setting) times.insert(times.end(), c.fading.begin(), c.fading.end());
        for (size_t j = 0; j < times.size(); ++j) {
            SCOPED_TRACE(testing::Message() << "at " << times[j] << " s, knob setting " << setting);
            {
                const SceneDrawScope captured(
                    {capture_pass, [](void *, float) {}, nullptr}); // no credits cards
                std::fill(std::begin(ParameterBlock), std::end(ParameterBlock), 0.0f);
                scripts[c.scene - 1](times[j]);
            }
            long non_finite = 0;
            double sum = 0.0, squares = 0.0; // of the luma as the screen shows it
            for (size_t i = 0; i < Pass.size(); i += 4) {
                double luma = 0.0;
                for (int k = 0; k < 4; ++k) non_finite += !std::isfinite(Pass[i + k]);
                for (int k = 0; k < 3; ++k) luma += weight[k] * std::clamp(Pass[i + k], 0.f, 1.f);
                sum += luma;
                squares += luma * luma;
            }
            EXPECT_EQ(non_finite, 0);
            const double n = Pass.size() / 4.0, mean = sum / n;
            // Well above a frame of grain alone, well below any picture with a subject.
            if (setting || j < c.shown.size()) {
                EXPECT_GT(std::sqrt(std::max(0.0, squares / n - mean * mean)), 0.05)
                    << "flat or black (mean luma " << mean << ")";
            }
            Pass.clear();
        }
    }
    for (int knob : c.knobs) Tuning.touched[knob] = 0;
}
INSTANTIATE_TEST_SUITE_P(Each, Scene, testing::ValuesIn(Cases), [](const auto &info) {
    return "scene_" + std::to_string(info.param.scene);
});

} // namespace
