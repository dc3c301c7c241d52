// What each mode of demo-capture does; each returns the process exit code.
#pragma once
#include "options.h"
#include "video_encoder.h"

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;
constexpr int ExitInterrupted = 130; // as a shell reports a command ended by Ctrl+C

// Prints "demo-capture: message" and returns code.
int capture_failure(const std::string &message, int code = ExitFailure);
// The frames a render or a dump runs; false with the exit code in `code`, the reason printed.
bool make_plan(const CaptureOptions &options, FramePlan &plan, int &code);

// The modes that draw nothing.
int run_parameters(const CaptureOptions &options);
int run_noise(const CaptureOptions &options);
// The modes that draw.
int run_render(const CaptureOptions &options);
int run_shader(const CaptureOptions &options);
int run_contact_sheet(const CaptureOptions &options);
int run_bench(const CaptureOptions &options);
int run_bench_capture(const CaptureOptions &options);
// Puts the segments of --part runs together into the one .mp4 they were made for.
int run_join(const CaptureOptions &options);
// --make-link: the moment's link on standard output.
int run_make_link(const CaptureOptions &options);

// The video settings the options ask for, without music.
VideoSettings video_settings(const CaptureOptions &options, const std::string &path);
