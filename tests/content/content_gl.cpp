#include "content_gl.h"

#include "gfx/gl_entry_points.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/gl_proc.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

std::vector<std::string> ContentBoxes;
PFNGLGETPROGRAMIVPROC glGetProgramiv_;
PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog_;

namespace {

PFNGLGENFRAMEBUFFERSPROC glGenFramebuffers_;
PFNGLBINDFRAMEBUFFERPROC glBindFramebuffer_;
PFNGLFRAMEBUFFERTEXTURE2DPROC glFramebufferTexture2D_;
PFNGLCHECKFRAMEBUFFERSTATUSPROC glCheckFramebufferStatus_;
PFNGLDELETEFRAMEBUFFERSPROC glDeleteFramebuffers_;

void record_box(void *, const char *text, const char *caption, int) {
    ContentBoxes.push_back(std::string(caption) + ": " + text);
}

template <typename F> bool fetch(F &function, const char *name) {
    function = reinterpret_cast<F>(gl_proc_address(name));
    return function != nullptr;
}

bool set_up() {
    MessageBoxHook = record_box;
    if (!headless_context_init(1024, 576)) return false;
    bool fetched = fetch(glGenFramebuffers_, "glGenFramebuffers") &&
                   fetch(glBindFramebuffer_, "glBindFramebuffer") &&
                   fetch(glFramebufferTexture2D_, "glFramebufferTexture2D") &&
                   fetch(glCheckFramebufferStatus_, "glCheckFramebufferStatus") &&
                   fetch(glDeleteFramebuffers_, "glDeleteFramebuffers") &&
                   fetch(glGetProgramiv_, "glGetProgramiv") &&
                   fetch(glGetProgramInfoLog_, "glGetProgramInfoLog");
    if (!fetched) return false;
    std::filesystem::current_path(DEMO_SOURCE_DIR);
    return load_resources() != 0 && ContentBoxes.empty();
}

FloatFrame *PassTarget = nullptr;

void capture_pass(GLuint program) {
    *PassTarget = render_program(program);
}
void no_overlay(float) {}

} // namespace

bool content_gl_ready() {
    static const bool ready = set_up();
    return ready;
}

FloatFrame render_float(int width, int height, float clear, const std::function<void()> &draw) {
    GLuint target = 0, framebuffer = 0;
    glGenTextures(1, &target);
    glBindTexture(GL_TEXTURE_2D, target);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glGenFramebuffers_(1, &framebuffer);
    glBindFramebuffer_(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D_(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);

    FloatFrame frame;
    if (glCheckFramebufferStatus_(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
        glViewport(0, 0, width, height);
        glClearColor(clear, clear, clear, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        draw();
        frame.width = width;
        frame.height = height;
        frame.rgba.resize(static_cast<size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, frame.rgba.data());
    }
    glBindFramebuffer_(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers_(1, &framebuffer);
    glDeleteTextures(1, &target);
    gl2::UseProgram(0);
    return frame;
}

FloatFrame render_program(GLuint program, int width, int height) {
    return render_float(width, height, 0.0f, [program] {
        glDisable(GL_BLEND);
        glEnable(GL_CULL_FACE);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(ParameterBlock);
        gl2::UseProgram(program);
        glBindTexture(GL_TEXTURE_2D, NoiseTexture);
        gluSphere(SceneQuadric, 2.0, 16, 16);
    });
}

FloatFrame render_scene(int scene, float local) {
    static void (*const scripts[9])(float) = {scene_1, scene_2, scene_3, scene_4, scene_5,
                                              scene_6, scene_7, scene_8, scene_9};
    FloatFrame frame;
    PassTarget = &frame;
    SceneDraw = SceneDrawSeam{capture_pass, no_overlay};
    for (float &slot : ParameterBlock) slot = 0.0f;
    scripts[scene - 1](local);
    SceneDraw = SceneDrawGl;
    PassTarget = nullptr;
    return frame;
}

void turn_controllers(const std::vector<int> &controllers, int data) {
    for (int controller : controllers)
        Tuning.receive(0xb0, static_cast<unsigned char>(controller),
                       static_cast<unsigned char>(data));
}

void release_controllers(const std::vector<int> &controllers) {
    for (int controller : controllers) Tuning.touched[controller] = 0;
}

FrameStats frame_stats(const FloatFrame &frame) {
    FrameStats stats;
    const size_t pixels = frame.rgba.size() / 4;
    double sum = 0.0, squares = 0.0;
    for (size_t i = 0; i < pixels; ++i) {
        const float *c = &frame.rgba[i * 4];
        for (int k = 0; k < 4; ++k)
            if (!std::isfinite(c[k])) ++stats.non_finite;
        auto shown = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f; };
        const double luma = 0.299 * shown(c[0]) + 0.587 * shown(c[1]) + 0.114 * shown(c[2]);
        sum += luma;
        squares += luma * luma;
    }
    if (pixels == 0) return stats;
    stats.luma_mean = sum / pixels;
    stats.luma_deviation =
        std::sqrt(std::max(0.0, squares / pixels - stats.luma_mean * stats.luma_mean));
    return stats;
}

double mean_abs_difference(const FloatFrame &a, const FloatFrame &b) {
    if (a.rgba.size() != b.rgba.size() || a.rgba.empty()) return 0.0;
    double sum = 0.0;
    for (size_t i = 0; i < a.rgba.size(); ++i) {
        if (i % 4 == 3) continue;
        sum += std::fabs(std::clamp(a.rgba[i], 0.0f, 1.0f) - std::clamp(b.rgba[i], 0.0f, 1.0f));
    }
    return sum / (a.rgba.size() / 4 * 3);
}
