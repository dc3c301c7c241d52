// Runs the demo's own frame function over a plan of loop times.
#pragma once
#include "frame_plan.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Every stamp goes through render_frame from the start values, so each frame's clock is bit for
// bit what the demo computes at those stamps. Frames before the kept ones draw nothing; kept frames
// draw when `draw` is set. `kept` runs after each kept frame and may stop the run by returning
// false. Returns false when stopped.
using KeptFrame = std::function<bool(std::size_t index, int32_t now)>;
bool run_plan(const FramePlan &plan, bool draw, const KeptFrame &kept);
// The same over any choice of frames: `keep[i]` says whether frame i is kept (and drawn).
bool run_selected(const std::vector<int32_t> &stamps, const std::vector<bool> &keep, bool draw,
                  const KeptFrame &kept);

// Forgets what --tuning preloaded, so the bank leaves the clipboard alone at exit; stops live MIDI
// input from reaching a capture, which must not depend on a knob turned meanwhile.
void detach_live_tuning();
void forget_tuning();

// The clock of a fixed-rate run with nothing drawn, continued past the demo's end until scene 9
// (which the loop never reaches) has run for `scene_9_seconds` of clock.
struct SurveyFrame {
    int32_t now;
    float clock;
    int scene;
};
std::vector<SurveyFrame> survey_timeline(double fps, double scene_9_seconds);

// First and last frame index of each scene 1..9 in a survey (index 0 is scene 1); a scene never
// reached has first > last.
struct SceneSpan {
    std::size_t first = 1;
    std::size_t last = 0;
};
std::array<SceneSpan, 9> scene_spans(const std::vector<SurveyFrame> &survey);
