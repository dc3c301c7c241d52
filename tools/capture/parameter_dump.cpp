#include "parameter_dump.h"

#include "timeline/demo_clock.h"
#include "timeline/parameter_block.h"
#include "timeline_run.h"

const char ParameterHeader[] = "now_ms,clock,scene,local_time,p0,p1,p2,p3,p4,p5,p6,p7,p8,p9,p10,"
                               "p11,p12,p13,p14,p15";

std::string parameter_row(int32_t now, float clock, int scene, float local_time,
                          const float *parameters) {
    char text[64];
    std::string row;
    std::snprintf(text, sizeof text, "%d,%.9g,%d,%.9g", static_cast<int>(now),
                  static_cast<double>(clock), scene, static_cast<double>(local_time));
    row += text;
    for (int i = 0; i < ParameterCount; ++i) {
        std::snprintf(text, sizeof text, ",%.9g", static_cast<double>(parameters[i]));
        row += text;
    }
    return row;
}

bool dump_parameters(const FramePlan &plan, std::FILE *out) {
    std::fprintf(out, "%s\n", ParameterHeader);
    run_plan(plan, false, [&](std::size_t, int32_t now) {
        float local = 0.0f;
        const int scene = scene_for_clock(DemoClock, &local);
        const std::string row = parameter_row(now, DemoClock, scene, local, ParameterBlock);
        std::fputs(row.c_str(), out);
        std::fputc('\n', out);
        return true;
    });
    return std::fflush(out) == 0 && !std::ferror(out);
}
