// One span captured three ways in one run, render only, PNG files and an .mp4, so the cost of
// each output is measured side by side against the renderer's own.
#include "capture_modes.h"
#include "frame_capture.h"
#include "gl_session.h"
#include "image.h"
#include "process_times.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Without --from and --to: two seconds of the meadow, a scene of middling cost.
constexpr double DefaultFrom = 60.0;
constexpr double DefaultLength = 2.0;

int fail(const std::string &message) {
    close_gl();
    return capture_failure(message);
}

std::uintmax_t bytes_under(const fs::path &path) {
    std::error_code ignored;
    if (fs::is_regular_file(path)) return fs::file_size(path, ignored);
    std::uintmax_t total = 0;
    for (const fs::directory_entry &entry : fs::directory_iterator(path, ignored))
        total += entry.file_size(ignored);
    return total;
}

// Without --from and --to, two seconds of the meadow; with one of them, two seconds from it.
FrameRange bench_span(FrameRange range) {
    if (!range.has_from)
        range.from_s = range.has_to ? std::max(0.0, range.to_s - DefaultLength) : DefaultFrom;
    if (!range.has_to) range.to_s = range.from_s + DefaultLength;
    range.has_from = range.has_to = true;
    return range;
}

bool make_scratch(fs::path &scratch, std::string &error) {
    std::error_code fs_error;
    scratch = fs::temp_directory_path(fs_error) /
              ("demo-capture-bench-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    if (!fs_error) fs::create_directories(scratch / "frames", fs_error);
    if (!fs_error) return true;
    error = "cannot make " + scratch.string() + ": " + fs_error.message();
    return false;
}

struct Run {
    const char *name;
    OutputKind kind;
    fs::path path;
    double ms_per_frame, self_ms, children_ms; // wall, then CPU, per frame
};

bool time_run(const FramePlan &plan, const CaptureOptions &o, Run &run, std::string &error) {
    CaptureTarget target;
    target.kind = run.kind;
    target.path = run.path.string();
    target.video = video_settings(o, target.path);
    const ProcessTimes cpu = process_times();
    const auto start = std::chrono::steady_clock::now();
    CaptureResult result;
    const bool ok = capture_frames(plan, target, nullptr, result, error);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const ProcessTimes used = process_times();
    const double frames = static_cast<double>(plan.kept());
    run.ms_per_frame = took.count() / frames;
    run.self_ms = (used.self_s - cpu.self_s) * 1000.0 / frames;
    run.children_ms = (used.children_s - cpu.children_s) * 1000.0 / frames;
    return ok;
}

// The CPU columns show what the machine's cores must share: a run can go no faster than its CPU
// time spread over every core.
void print_runs(const Run (&runs)[3]) {
    std::printf("| output | ms/frame | x render only | CPU ms/frame: demo-capture | ffmpeg | "
                "MB written |\n|---|---:|---:|---:|---:|---:|\n");
    for (const Run &run : runs) {
        std::printf("| %s | %.1f | %.2f | %.1f | ", run.name, run.ms_per_frame,
                    run.ms_per_frame / runs[0].ms_per_frame, run.self_ms);
        if (process_times().has_children)
            std::printf("%.1f", run.children_ms);
        else
            std::printf("-");
        std::printf(" | %.1f |\n",
                    run.path.empty() ? 0.0 : static_cast<double>(bytes_under(run.path)) / 1e6);
    }
}

} // namespace

int run_bench_capture(const CaptureOptions &o) {
    const FrameRange range = bench_span(o.range);
    const FramePlan plan = plan_fixed_rate(o.fps, range);
    if (plan.kept() == 0) return capture_failure("no frame in the span");

    std::string error;
    install_message_hook();
    if (!open_gl(o.width, o.height, error) || !load_demo_resources(error)) return fail(error);
    set_png_level(o.png_level);
    fs::path scratch;
    if (!make_scratch(scratch, error)) return fail(error);

    Run runs[] = {{"render only (read back, nothing written)", OutputKind::None, {}, 0, 0, 0},
                  {"PNG files", OutputKind::Folder, scratch / "frames", 0, 0, 0},
                  {".mp4 (no sound)", OutputKind::Mp4, scratch / "bench.mp4", 0, 0, 0}};
    // An untimed pass first: llvmpipe compiles each program at its first draw.
    CaptureResult result;
    bool ok = capture_frames(plan, CaptureTarget{}, nullptr, result, error);
    for (Run &run : runs) ok = ok && time_run(plan, o, run, error);
    const std::string renderer = gl_renderer();
    close_gl();
    if (ok) {
        std::printf("renderer: %s; %d x %d at %g fps, loop time %.3f .. %.3f s, %zu frames; "
                    "x264 preset %s, crf %d; PNG level %d; %u hardware threads\n\n",
                    renderer.c_str(), o.width, o.height, o.fps, range.from_s, range.to_s,
                    plan.kept(), o.preset.c_str(), o.crf, o.png_level,
                    std::thread::hardware_concurrency());
        print_runs(runs);
    }
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return ok ? ExitOk : capture_failure(error);
}
