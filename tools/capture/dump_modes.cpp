// The modes that compute without drawing: what any build of the core can be compared by.
#include "capture_modes.h"

#include "gfx/noise.h"
#include "parameter_dump.h"

#include <cstdio>
#include <fstream>
#include <iostream>

int capture_failure(const std::string &message, int code) {
    std::fprintf(stderr, "demo-capture: %s\n", message.c_str());
    return code;
}

bool make_plan(const CaptureOptions &o, FramePlan &plan, int &code) {
    if (o.out_kind == OutputKind::Png) {
        plan = plan_single_frame(o.fps, o.at_s);
    } else if (!o.times_path.empty()) {
        std::vector<int32_t> times;
        std::string error;
        bool read = false;
        if (o.times_path == "-") {
            read = read_frame_times(std::cin, times, error);
        } else {
            std::ifstream file(o.times_path);
            if (!file) {
                code = capture_failure("cannot open " + o.times_path);
                return false;
            }
            read = read_frame_times(file, times, error);
        }
        if (!read) {
            code = capture_failure(o.times_path + ": " + error, ExitUsage);
            return false;
        }
        plan = plan_recorded(times, o.range);
    } else {
        plan = plan_fixed_rate(o.fps, o.range);
    }
    if (plan.kept() == 0) {
        code = capture_failure("no frame falls between --from and --to", ExitUsage);
        return false;
    }
    if (static_cast<std::size_t>(o.parts) > plan.kept()) {
        code = capture_failure(std::to_string(o.parts) + " parts of " +
                                   std::to_string(plan.kept()) + " frames: more parts than frames",
                               ExitUsage);
        return false;
    }
    if (o.part > 0) plan = plan_part(plan, o.part, o.parts);
    return true;
}

int run_parameters(const CaptureOptions &o) {
    FramePlan plan;
    int code = ExitOk;
    if (!make_plan(o, plan, code)) return code;
    std::FILE *out = stdout;
    const bool to_file = !o.out.empty() && o.out != "-";
    if (to_file && !(out = std::fopen(o.out.c_str(), "wb"))) // the same bytes on every platform
        return capture_failure("cannot write " + o.out);
    bool written = dump_parameters(plan, out);
    if (to_file && std::fclose(out) != 0) written = false;
    return written ? ExitOk : capture_failure("writing the parameters failed");
}

int run_noise(const CaptureOptions &o) {
    make_noise();
    std::FILE *out = std::fopen(o.noise_path.c_str(), "wb");
    if (!out) return capture_failure("cannot write " + o.noise_path);
    bool written = std::fwrite(NoisePixels, 1, sizeof NoisePixels, out) == sizeof NoisePixels;
    if (std::fclose(out) != 0) written = false;
    return written ? ExitOk : capture_failure("writing the noise failed");
}
