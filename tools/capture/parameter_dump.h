// The parameters each frame's shaders receive, as CSV.
#pragma once
#include "frame_plan.h"

#include <cstdint>
#include <cstdio>
#include <string>

extern const char ParameterHeader[]; // "now_ms,clock,scene,local_time,p0,...,p15"

// One row; floats are written with %.9g, which reads back as the same float.
std::string parameter_row(int32_t now, float clock, int scene, float local_time,
                          const float *parameters);

// Runs the plan with nothing drawn (no GL context needed) and writes the header and one row per
// kept frame. False when the stream fails.
bool dump_parameters(const FramePlan &plan, std::FILE *out);
