// Runs the demo's own frame function over a plan of loop times.
#pragma once
#include "frame_plan.h"
#include "timeline/timeline_survey.h" // the survey, which the tool's modes use

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
