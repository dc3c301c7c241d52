// What each mode of demo-capture does; each returns the process exit code.
#pragma once
#include "options.h"

constexpr int ExitOk = 0;
constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

int run_render(const CaptureOptions &options);
int run_parameters(const CaptureOptions &options);
int run_shader(const CaptureOptions &options);
int run_contact_sheet(const CaptureOptions &options);
int run_bench(const CaptureOptions &options);
