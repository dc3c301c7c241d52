// The studio's time control: key presses and timer readings in, the loop time of each frame and the
// music's moves out. Every move replays the clock over the 60 fps grid without drawing, so the
// studio shows at loop time T exactly what a capture renders at T.
#pragma once
#include "platform/keys.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_cuts.h"

#include <cstdint>

// The studio runs on past the demo's end through scene 9 to here, then holds the frame, paused.
constexpr int32_t StudioEndMs = 152000;
// Every move lands on this grid of loop times, the capture tool's default rate.
constexpr double StudioFps = 60.0;

// The grid frame of loop time nearest `ms`, clamped to 0 .. StudioEndMs.
int32_t snap_to_grid(int32_t ms);

// What the app does to the music, each given the context; each may be null (no music). Seek takes
// loop time, which is the music's own time, and must leave a paused music paused.
struct MusicMoves {
    void (*seek)(void *context, uint32_t ms);
    void (*pause)(void *context);
    void (*resume)(void *context);
    void *context;
};

// The clock's state before every CheckpointFrames-th grid frame: a move replays from the nearest
// one at or before its target, which gives the same bits as a replay from frame 0 because the
// clock depends on nothing but the stamps it was fed.
constexpr int CheckpointFrames = 600;
constexpr int CheckpointCount =
    static_cast<int>(StudioEndMs * StudioFps / 1000.0) / CheckpointFrames + 1;

struct TimeControl {
    MusicMoves music;
    DemoClockState checkpoints[CheckpointCount];
    int32_t scene_start_ms[SceneCount + 1]; // first grid frame of each scene; [SceneCount]: the end

    // Loop time runs at timer rate from anchor_loop_ms, read at anchor_timer_ms. Until `anchored`,
    // the next frame shows anchor_loop_ms itself from `standing` and becomes the anchor.
    int32_t anchor_loop_ms;
    uint32_t anchor_timer_ms;
    int anchored;
    // The clock's state before the frame at anchor_loop_ms: restored for every frame that stands.
    DemoClockState standing;

    int paused;       // by Space
    int held_at_end;  // reached StudioEndMs; a move or Space lets go
    int music_paused; // what the music was last told
    int looping;      // between loop_from_ms and loop_to_ms (loop_to_ms wraps to loop_from_ms)
    int32_t loop_from_ms;
    int32_t loop_to_ms;
    int32_t shown_ms; // loop time of the last frame given out
};

// Builds the checkpoints and scene starts by one run of the clock over the grid, then moves to
// snap_to_grid(from_ms), or to loop_from_ms with that loop on when loop_to_ms > loop_from_ms
// (loop_to_ms -1: no loop). Expects the music playing from its start; seeks it.
void time_control_start(TimeControl *tc, const MusicMoves &music, int32_t from_ms,
                        int32_t loop_from_ms, int32_t loop_to_ms);

// A key of platform/keys.h pressed at timer_ms, with 1 when Shift was held. Call it between a
// frame's render_frame and the next time_control_frame. Keys it does not know are ignored.
//   Space       pause / resume (at the end hold: play again from the start)
//   Left Right  2 s back / forward, 10 s with Shift
//   Page Down   the next scene's start (from scene 9: the end)
//   Page Up     the current scene's start when more than 1 s into it, else the previous scene's
//   Home, 1..9  the start, that scene's start
//   L           loop the current scene until pressed again
void time_control_key(TimeControl *tc, int key, int shift, uint32_t timer_ms);

// The loop time to pass to this frame's render_frame. Restores the clock when the frame stands
// (paused, held, or the first after a move), so render_frame gives the same clock every time.
int32_t time_control_frame(TimeControl *tc, uint32_t timer_ms);

// The scene (1..9) whose grid span holds loop time `ms`.
int time_control_scene(const TimeControl *tc, int32_t ms);
