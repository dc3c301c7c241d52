// Cost of each scene on this machine, the pass floor, start-up and the CPU side of a frame.
#include "capture_modes.h"
#include "gfx/gl.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gl_session.h"
#include "timeline/demo_clock.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline_run.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

int fail(const std::string &message) {
    std::fprintf(stderr, "demo-capture: %s\n", message.c_str());
    close_gl();
    return ExitFailure;
}

// The scene scripts reach the GPU through the seam: recording it says which program a frame drew.
GLuint LastProgram = 0;
bool CreditsDrawn = false;
void recording_pass(void *, GLuint program) {
    LastProgram = program;
    scene_pass(program);
}
void recording_overlay(void *, float a) {
    CreditsDrawn = true;
    draw_credits_overlay(a);
}
const SceneDrawSeam RecordingSeam = {recording_pass, recording_overlay, nullptr};

std::string program_name(GLuint program) {
    for (int i = 0; i < SceneProgramCount; ++i) {
        if (SceneProgramTable[i] == program) return SceneShaderFiles[i];
    }
    return "?";
}

const char NullShader[] = "void main(void) { gl_FragColor = vec4(0.0, 0.0, 0.0, 1.0); }\n";
constexpr double BenchFps = 60.0;

// The core's own load_resources steps, timed one by one, and the first frame.
struct StartUp {
    double context_ms = 0.0;
    double step_ms[LoadStepCount] = {};
    double first_frame_ms = 0.0;
    double total_ms = 0.0;
};

bool time_start_up(StartUp &t, std::string &error) {
    const Clock::time_point start = Clock::now();
    if (!open_gl(MinWidth, MinHeight, error)) return false;
    t.context_ms = ms_since(start);
    for (int i = 0; i < LoadStepCount; ++i) {
        const Clock::time_point step = Clock::now();
        if (!LoadSteps[i].run()) {
            error = "the demo's resources did not load (see above)";
            return false;
        }
        t.step_ms[i] = ms_since(step);
    }
    if (message_count() != 0) {
        error = "the demo's shaders did not build (see above)";
        return false;
    }
    const Clock::time_point step = Clock::now();
    demo_clock_reset();
    render_frame(0);
    glFinish();
    t.first_frame_ms = ms_since(step);
    t.total_ms = ms_since(start);
    return true;
}

// The CPU side alone over the whole run: clock and scripts, nothing drawn. Microseconds a frame.
std::vector<double> time_cpu_side() {
    std::vector<double> cpu_us;
    const FramePlan whole = plan_fixed_rate(BenchFps, FrameRange{});
    demo_clock_reset();
    const SceneDrawScope nothing_drawn(SceneDrawNothing);
    for (int32_t now : whole.stamps) {
        const Clock::time_point t = Clock::now();
        render_frame(now);
        cpu_us.push_back(ms_since(t) * 1000.0);
    }
    return cpu_us;
}

struct SceneTimes {
    std::vector<SurveyFrame> survey;
    std::array<SceneSpan, 9> spans;
    std::vector<double> ms[9];
    std::string program[9];
};

// Frames spread evenly over each scene's span; the first of each scene warms its program up
// (llvmpipe compiles on first draw) and is not counted.
bool time_scenes(int samples, SceneTimes &t, std::string &error) {
    t.survey = survey_timeline(BenchFps, 1.0);
    t.spans = scene_spans(t.survey);
    std::vector<bool> keep(t.survey.size(), false);
    for (int s = 0; s < 9; ++s) {
        const SceneSpan &span = t.spans[s];
        if (span.first > span.last) {
            error = "scene " + std::to_string(s + 1) + " never came up";
            return false;
        }
        const std::size_t width = span.last - span.first;
        for (int j = 0; j < samples; ++j)
            keep[span.first + width * static_cast<std::size_t>(j + 1) / (samples + 1)] = true;
    }
    bool warmed[9] = {};
    // run_selected draws through SceneDrawGl; the recording seam replaces it per frame.
    demo_clock_reset();
    for (std::size_t i = 0; i < t.survey.size(); ++i) {
        const SceneDrawScope frame(keep[i] ? RecordingSeam : SceneDrawNothing);
        const int s = t.survey[i].scene - 1;
        LastProgram = 0;
        CreditsDrawn = false;
        glFinish();
        const Clock::time_point start = Clock::now();
        render_frame(t.survey[i].now);
        if (!keep[i]) continue;
        glFinish();
        const double ms = ms_since(start);
        if (warmed[s]) t.ms[s].push_back(ms);
        warmed[s] = true;
        t.program[s] = program_name(LastProgram) + (CreditsDrawn ? " + credits" : "");
    }
    return true;
}

// The floor under every scene: a trivial fragment shader through the same passes.
bool time_null_pass(int samples, double &floor_ms, std::string &error) {
    const unsigned null_program = build_scene_program(NullShader, "the null shader", error);
    if (!null_program) return false;
    std::vector<double> null_ms;
    for (int j = 0; j < samples; ++j) {
        glFinish();
        const Clock::time_point t = Clock::now();
        glEnable(GL_CULL_FACE);
        scene_pass(null_program);
        glFinish();
        if (j > 0) null_ms.push_back(ms_since(t));
    }
    floor_ms = median(null_ms);
    return true;
}

void print_scenes(const SceneTimes &t, double floor_ms, int timed_frames) {
    std::printf("renderer: %s; frames of %d x %d; %d timed frames per scene after one warm-up, "
                "glFinish after each\n\n",
                gl_renderer().c_str(), MinWidth, MinHeight, timed_frames);
    std::printf("| scene | clock span (s) | program | median ms/frame | over null pass (ms) |\n");
    std::printf("|------:|----------------|---------|----------------:|--------------------:|\n");
    for (int s = 0; s < 9; ++s) {
        const double m = median(t.ms[s]);
        const SceneSpan &span = t.spans[s];
        std::printf("| %d | %.2f .. %.2f%s | %s | %.1f | %+.1f |\n", s + 1,
                    static_cast<double>(t.survey[span.first].clock),
                    static_cast<double>(t.survey[span.last].clock), s == 8 ? " (past the end)" : "",
                    t.program[s].c_str(), m, m - floor_ms);
    }
    std::printf("| null | - | trivial fragment shader + post | %.1f | 0.0 |\n\n", floor_ms);
}

void print_start_up(const StartUp &t) {
    std::printf("| start-up step | ms |\n|---|---:|\n");
    std::printf("| context and %d x %d framebuffer | %.1f |\n", MinWidth, MinHeight, t.context_ms);
    for (int i = 0; i < LoadStepCount; ++i)
        std::printf("| %s | %.1f |\n", LoadSteps[i].name, t.step_ms[i]);
    std::printf("| first frame (render_frame + glFinish) | %.1f |\n", t.first_frame_ms);
    std::printf("| total to the first frame | %.1f |\n\n", t.total_ms);
}

} // namespace

int run_bench(const CaptureOptions &o) {
    std::string error;
    install_message_hook();
    StartUp start_up;
    if (!time_start_up(start_up, error)) return fail(error);
    const std::vector<double> cpu_us = time_cpu_side();
    const int samples = o.bench_frames + 1;
    SceneTimes scenes;
    double floor_ms = 0.0;
    if (!time_scenes(samples, scenes, error) || !time_null_pass(samples, floor_ms, error))
        return fail(error);

    print_scenes(scenes, floor_ms, o.bench_frames);
    print_start_up(start_up);
    std::printf("clock and scene scripts without drawing: median %.2f us per frame over %zu "
                "frames at %.0f fps\n",
                median(cpu_us), cpu_us.size(), BenchFps);
    close_gl();
    return ExitOk;
}
