// One run of the clock over a fixed-rate grid with nothing drawn: where each scene starts, for the
// studio's moves and the capture tool's per-scene runs alike.
#pragma once
#include "timeline/demo_clock.h"
#include "timeline/scene_cuts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

struct SurveyFrame {
    int32_t now;
    float clock;
    int scene;
    DemoClockState before; // the clock's state just before this frame
};
// Frames k = 0, 1, ... at `fps`, continued past the demo's end until scene 9 (which the demo's
// loop never reaches) has run for `scene_9_seconds` of clock. Leaves the clock at its start.
std::vector<SurveyFrame> survey_timeline(double fps, double scene_9_seconds);

// First and last frame index of each scene 1..9 in a survey (index 0 is scene 1); a scene never
// reached has first > last.
struct SceneSpan {
    std::size_t first = 1;
    std::size_t last = 0;
};
std::array<SceneSpan, SceneCount> scene_spans(const std::vector<SurveyFrame> &survey);
