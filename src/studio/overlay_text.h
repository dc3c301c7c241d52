// The overlay's lines, from a plain record of what the studio shows.
#pragma once
#include "studio/frame_stats.h"
#include "studio/scene_reads.h"

#include <cstddef>
#include <cstdint>

struct OverlayView {
    int32_t loop_ms; // loop time
    float clock;
    bool paused;
    bool looping;
    int32_t loop_from_ms, loop_to_ms; // the looped span, when looping
    FrameSummary frames;              // of the current scene
    int preview_divisor;     // the scene pass at 1/divisor of its size (studio/preview_scale.h)
    const SceneReads *reads; // its scene, program and controllers; null shows none
};

// The overlay's width in characters: no line is longer.
constexpr std::size_t OverlayColumns = 40;
// 8 lines of state, a heading and one per controller read, each with its line end.
constexpr std::size_t OverlayTextSize = (OverlayColumns + 1) * (9 + MaxSceneReads) + 1;

// Newline-separated lines, no newline after the last; returns the length. Never writes past size.
std::size_t format_overlay_text(const OverlayView &view, char *text, std::size_t size);
