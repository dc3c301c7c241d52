// A span of frames drawn, read back and handed to its output: nothing (render only), PNG files or
// ffmpeg. Reading back, encoding and writing run beside the renderer with a fixed number of frames
// in flight.
#pragma once
#include "frame_plan.h"
#include "options.h"
#include "progress.h"
#include "video_encoder.h"

#include <cstddef>
#include <string>

struct CaptureTarget {
    OutputKind kind = OutputKind::None; // None: frames are read back and dropped
    std::string path;
    VideoSettings video; // for an .mp4
};

struct CaptureResult {
    std::size_t frames = 0; // handed to the output
    bool interrupted = false;
};

// Runs the plan in the open GL session (frames of WindowWidth x WindowHeight). False with the
// reason; an interrupted run still finishes the frames it read back and closes its output.
bool capture_frames(const FramePlan &plan, const CaptureTarget &target, Progress *progress,
                    CaptureResult &result, std::string &error);

// From now on Ctrl+C or a termination request stops a capture after the frame being drawn; a
// second one ends the process at once.
void stop_captures_on_interrupt();
