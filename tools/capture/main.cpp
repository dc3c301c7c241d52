// demo-capture: renders the demo's timeline offline, frame for frame as the demo computes it.
#include "capture_link.h"
#include "capture_modes.h"
#include "gfx/data_dir.h"
#include "options.h"
#include "timeline_run.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_preload.h"

#include <cstdio>

int main(int argc, char **argv) {
    CaptureOptions options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) {
        std::fprintf(stderr, "demo-capture: %s\n", error.c_str());
        return ExitUsage;
    }
    if (options.mode == CaptureMode::Help) {
        std::fputs(capture_usage(), stdout);
        return ExitOk;
    }

    std::string reason;
    if (!data_dir_set(options.data_dir.c_str(), reason)) {
        std::fprintf(stderr, "demo-capture: %s\n", reason.c_str());
        return ExitUsage;
    }
    if (options.music_path.empty()) options.music_path = data_path(MusicFileName).text;
    if ((!options.link.empty() || !options.link_file.empty()) &&
        !apply_capture_link(options, reason)) {
        std::fprintf(stderr, "demo-capture: %s\n", reason.c_str());
        return ExitUsage;
    }

    // A capture depends on nothing but its arguments: no knob turned meanwhile, and the tuning
    // given here does not end up on the clipboard at exit.
    detach_live_tuning();
    if (options.has_tuning && !preload_tuning_line(Tuning, options.tuning_line, error)) {
        std::fprintf(stderr, "demo-capture: --tuning: %s\n", error.c_str());
        return ExitUsage;
    }
    int code = ExitFailure;
    switch (options.mode) {
    case CaptureMode::Render:
        code = run_render(options);
        break;
    case CaptureMode::Parameters:
        code = run_parameters(options);
        break;
    case CaptureMode::Noise:
        code = run_noise(options);
        break;
    case CaptureMode::Shader:
        code = run_shader(options);
        break;
    case CaptureMode::ContactSheet:
        code = run_contact_sheet(options);
        break;
    case CaptureMode::Bench:
        code = run_bench(options);
        break;
    case CaptureMode::BenchCapture:
        code = run_bench_capture(options);
        break;
    case CaptureMode::Join:
        code = run_join(options);
        break;
    case CaptureMode::MakeLink:
        code = run_make_link(options);
        break;
    case CaptureMode::Help:
        break;
    }
    forget_tuning();
    return code;
}
