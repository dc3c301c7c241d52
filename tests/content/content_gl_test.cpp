// The demo's content on headless Mesa: the nine shader files compile and link without a warning,
// every scene draws a finite picture that is not flat at several times and knob settings. Which
// program each scene draws is in tests/scenes' digest, the credits cards are scene_1_gl_test's.
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
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Frame = std::vector<float>; // RGBA, bottom row first

// Once per process: a headless context, the repository root as working directory (where data/
// lies) and the demo's resources loaded, with no box raised on the way.
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
            return load_resources() != 0;
        }();
        ASSERT_TRUE(ready && boxes.empty()) << boxes;
    }
};

// The colour as the screen shows it.
float shown(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

// Runs `draw` into a fresh RGBA32F target cleared to grey `clear`, so that NaN, infinity and
// values beyond 0..1 survive to be read back.
Frame render_float(int width, int height, float clear, const std::function<void()> &draw) {
    GLuint target = 0, framebuffer = 0;
    glGenTextures(1, &target);
    glBindTexture(GL_TEXTURE_2D, target);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
    glViewport(0, 0, width, height);
    glClearColor(clear, clear, clear, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    draw();
    Frame frame(static_cast<size_t>(width) * height * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, frame.data());
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &target);
    return frame;
}

Frame Pass; // what the last scene pass drew

// As scene_pass draws the program, into a floating-point target at half the demo's size: the
// shaders depend on objectPosition, not on the pixel count, and llvmpipe takes a quarter of the
// time.
void capture_pass(GLuint program) {
    Pass = render_float(512, 256, 0.0f, [program] {
        glDisable(GL_BLEND);
        glEnable(GL_CULL_FACE);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(ParameterBlock);
        glUseProgram(program);
        glBindTexture(GL_TEXTURE_2D, NoiseTexture);
        gluSphere(SceneQuadric, 2.0, 16, 16);
    });
}

// Scene 1 to 9 at local time `local` through its own script (scene 1's cards left out).
Frame render_scene(int scene, float local) {
    static void (*const scripts[9])(float) = {scene_1, scene_2, scene_3, scene_4, scene_5,
                                              scene_6, scene_7, scene_8, scene_9};
    SceneDraw = SceneDrawSeam{capture_pass, [](float) {}};
    std::fill(std::begin(ParameterBlock), std::end(ParameterBlock), 0.0f);
    scripts[scene - 1](local);
    SceneDraw = SceneDrawGl;
    return std::exchange(Pass, {});
}

using ShaderFiles = Content;

// The programs load_resources built from the files against the built-in vertex shader, with empty
// logs: Mesa prints nothing for a clean build, so any log holds a warning at least (its shader
// cache, which would hand back an empty log, is off for this test). A failed compile raises a box.
TEST_F(ShaderFiles, CompileAndLinkWithoutWarnings) {
    char log[4096];
    for (int i = 0; i < SceneProgramCount; ++i) {
        SCOPED_TRACE(SceneShaderFiles[i]);
        GLint linked = 0;
        glGetProgramiv(SceneProgramTable[i], GL_LINK_STATUS, &linked);
        glGetProgramInfoLog(SceneProgramTable[i], sizeof log, nullptr, log);
        EXPECT_TRUE(linked);
        EXPECT_STREQ(log, "");
        GLuint shaders[2] = {};
        GLsizei count = 0;
        glGetAttachedShaders(SceneProgramTable[i], 2, &count, shaders);
        ASSERT_EQ(count, 2);
        for (GLuint shader : shaders) {
            glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            EXPECT_STREQ(log, "");
        }
    }
}

struct SceneCase {
    int scene;
    // Local times where a picture must show, times inside fades where it need only be finite, and
    // times to turn the MIDI controllers its script reads (knobs) at.
    std::vector<float> shown, fading, tuned_at;
    std::vector<int> knobs;
};

// Spans in local time: 1 from -0.15 to 37.7, 2 to 15, 3 and 5 to 7.3, 4 to 7.5, 6 from -0.4 to
// 14.3, 7 to 11.5, 8 to 50, 9 from the clock 151 on. Scene 8 is looked at once in each of its
// eleven segments.
const SceneCase Cases[] = {
    {1, {6.5, 18.85, 30.0}, {-0.15, 2.0, 37.6}, {}, {}},
    {2, {3.0, 7.5, 14.9}, {0.0}, {}, {}},
    {3, {1.5, 3.65, 6.0}, {0.0, 7.25}, {3.65}, {2, 3, 4, 5, 6}},
    {4, {1.5, 3.75, 6.2}, {0.0, 7.45}, {3.75}, {2, 3, 4, 5}},
    {5, {1.5, 3.65, 6.0}, {0.0, 7.25}, {3.65}, {2, 3, 4, 5}},
    {6, {1.0, 6.95, 12.0}, {-0.4, 14.25}, {6.95}, {2, 3, 4, 5, 6}},
    {7, {5.75, 9.0}, {0.0, 11.45}, {}, {}},
    {8,
     {1.9, 5.6, 9.4, 13.1, 16.9, 20.6, 24.4, 28.1, 31.9, 35.6, 40.0},
     {49.95},
     {1.9, 13.1, 20.6, 31.9},
     {2, 3, 4, 5, 8, 9, 12, 13}},
    {9, {151.5, 155.0, 170.0}, {}, {}, {}},
};

void PrintTo(const SceneCase &c, std::ostream *out) {
    *out << "scene_" << c.scene;
}

class Scene : public Content, public testing::WithParamInterface<SceneCase> {};

TEST_P(Scene, ShowsAFinitePictureAtEveryTimeAndKnobSetting) {
    const SceneCase &c = GetParam();
    // The knobs at their defaults (where the fading times need only be finite), then all at 0,
    // all at 1 and alternating, so that no pair of knobs is only seen moving together.
    const char *const settings[4] = {"at their defaults", "all at 0", "all at 1", "alternating"};
    for (int setting = 0; setting < 4; ++setting) {
        for (size_t i = 0; setting > 0 && i < c.knobs.size(); ++i)
            Tuning.receive(0xb0, c.knobs[i], setting == 3 ? 127 * (i % 2) : 127 * (setting - 1));
        std::vector<float> times = setting ? c.tuned_at : c.shown;
        if (!setting) times.insert(times.end(), c.fading.begin(), c.fading.end());
        for (size_t j = 0; j < times.size(); ++j) {
            SCOPED_TRACE(testing::Message()
                         << "at " << times[j] << " s, knobs " << settings[setting]);
            const Frame frame = render_scene(c.scene, times[j]);
            long non_finite = 0;
            double sum = 0.0, squares = 0.0; // of the luma as the screen shows it
            for (size_t i = 0; i < frame.size(); i += 4) {
                for (int k = 0; k < 4; ++k) non_finite += !std::isfinite(frame[i + k]);
                const double luma = 0.299 * shown(frame[i]) + 0.587 * shown(frame[i + 1]) +
                                    0.114 * shown(frame[i + 2]);
                sum += luma;
                squares += luma * luma;
            }
            EXPECT_EQ(non_finite, 0);
            const double n = frame.size() / 4.0, mean = sum / n;
            // Well above a frame of grain alone, well below any picture with a subject.
            if (setting || j < c.shown.size()) {
                EXPECT_GT(std::sqrt(std::max(0.0, squares / n - mean * mean)), 0.05)
                    << "flat or black (mean luma " << mean << ")";
            }
        }
    }
    for (int knob : c.knobs) Tuning.touched[knob] = 0;
}

INSTANTIATE_TEST_SUITE_P(Each, Scene, testing::ValuesIn(Cases), testing::PrintToStringParamName());

} // namespace
