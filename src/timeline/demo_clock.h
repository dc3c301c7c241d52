// The smoothed demo clock and the choice of scene by time.
#pragma once
#include <cstdint>

extern float DemoClock;
extern int32_t FrameHistory[5];

// One whole frame for loop time `now` (milliseconds since the loop began); does not swap.
void render_frame(int32_t now);

// The clock's step at the start of each frame: DemoClock and FrameHistory moved on to `now`.
void demo_clock_advance(int32_t now);

// Which scene (1..9) the clock t falls in, and its local time: the sequencer's table alone.
int scene_for_clock(float t, float *local_time);

// Back to the start values (-0.15 s, empty history): for tools that render more than one run.
void demo_clock_reset();

// The clock's whole state, so the studio can hold a frame still or continue from a replay.
struct DemoClockState {
    float clock;
    int32_t history[5];
};
DemoClockState demo_clock_save();
void demo_clock_restore(const DemoClockState &state);
