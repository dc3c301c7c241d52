#include "studio/time_control.h"

#include "timeline/frame_grid.h"
#include "timeline/scene_pass.h"
#include "timeline/timeline_survey.h"

#include <cstdint>

// Page Up goes back to the current scene's start when further in than this, as a music player's
// "previous" does, and to the previous scene's start otherwise.
constexpr int32_t PageUpGraceMs = 1000;

static long grid_frame(int32_t ms) {
    return frame_nearest(ms / 1000.0, StudioFps);
}

int32_t snap_to_grid(int32_t ms) {
    if (ms < 0) ms = 0;
    if (ms > StudioEndMs) ms = StudioEndMs;
    return frame_time_ms(grid_frame(ms), StudioFps);
}

int time_control_scene(const TimeControl *tc, int32_t ms) {
    int scene = 1;
    while (scene < SceneCount && tc->scene_start_ms[scene] <= ms) ++scene;
    return scene;
}

// The clock as a 60 fps run leaves it just before its frame at `ms` (a grid time), nothing drawn.
static void replay_to(const TimeControl *tc, int32_t ms) {
    const long frame = grid_frame(ms);
    long k = frame / CheckpointFrames * CheckpointFrames;
    demo_clock_restore(tc->checkpoints[k / CheckpointFrames]);
    const SceneDrawScope nothing_drawn(SceneDrawNothing);
    for (; k < frame; ++k) render_frame(frame_time_ms(k, StudioFps));
}

// Tells the music only what changed, so a move while paused sends no pause.
static void follow_music(TimeControl *tc) {
    const int stop = tc->paused || tc->held_at_end;
    if (stop == tc->music_paused) return;
    tc->music_paused = stop;
    void (*call)(void *) = stop ? tc->music.pause : tc->music.resume;
    if (call) call(tc->music.context);
}

// Where loop time is at timer_ms. A reading before the anchor (a timer stepped back) counts as the
// anchor; unsigned subtraction carries the timer's wrap-around.
static int32_t position(const TimeControl *tc, uint32_t timer_ms) {
    if (!tc->anchored || tc->paused || tc->held_at_end) return tc->anchor_loop_ms;
    const uint32_t elapsed = timer_ms - tc->anchor_timer_ms;
    if (elapsed > static_cast<uint32_t>(INT32_MAX)) return tc->anchor_loop_ms;
    const int64_t now = static_cast<int64_t>(tc->anchor_loop_ms) + elapsed;
    return now < StudioEndMs ? static_cast<int32_t>(now) : StudioEndMs;
}

// Every change of place: on the grid, the clock replayed, the music sent there. Paused stays
// paused; the end hold lets go, unless the move is to the end. A move out of the loop ends it.
static void move_to(TimeControl *tc, int32_t ms) {
    const int32_t target = snap_to_grid(ms);
    if (tc->looping && (target < tc->loop_from_ms || target >= tc->loop_to_ms)) tc->looping = 0;
    replay_to(tc, target);
    tc->standing = demo_clock_save();
    tc->anchor_loop_ms = target;
    tc->anchored = 0;
    tc->held_at_end = target >= StudioEndMs;
    if (tc->music.seek) tc->music.seek(tc->music.context, static_cast<uint32_t>(target));
    follow_music(tc);
}

void time_control_start(TimeControl *tc, const MusicMoves &music, int32_t from_ms,
                        int32_t loop_from_ms, int32_t loop_to_ms) {
    *tc = TimeControl{};
    tc->music = music;
    // One run over the whole grid, the same as any capture's, gives checkpoints and scene starts;
    // scene 9 runs for a while before the studio's end.
    const std::vector<SurveyFrame> survey = survey_timeline(StudioFps, 2.0);
    for (long k = 0; k <= grid_frame(StudioEndMs); k += CheckpointFrames)
        tc->checkpoints[k / CheckpointFrames] = survey[static_cast<std::size_t>(k)].before;
    const std::array<SceneSpan, SceneCount> spans = scene_spans(survey);
    tc->scene_start_ms[SceneCount] = StudioEndMs;
    for (int scene = SceneCount; scene >= 1; --scene) { // one no frame shows starts with the next
        const SceneSpan &span = spans[static_cast<std::size_t>(scene - 1)];
        tc->scene_start_ms[scene - 1] =
            span.first <= span.last ? survey[span.first].now : tc->scene_start_ms[scene];
    }

    const int32_t from = snap_to_grid(loop_from_ms), to = snap_to_grid(loop_to_ms);
    if (loop_to_ms >= 0 && from < to) {
        tc->looping = 1, tc->loop_from_ms = from, tc->loop_to_ms = to;
        if (from_ms < from || from_ms >= to) from_ms = from;
    }
    move_to(tc, from_ms);
}

static void toggle_pause(TimeControl *tc, uint32_t timer_ms) {
    if (tc->held_at_end) {
        tc->paused = 0;
        move_to(tc, 0); // play again, as a player does at the end
    } else if (tc->paused) {
        tc->paused = 0;
        tc->anchored = 0; // the paused frame once more, then on at timer rate from it
        follow_music(tc);
    } else {
        // The clock as the last frame left it is the state before a frame at the pause's time.
        if (tc->anchored) {
            tc->anchor_loop_ms = position(tc, timer_ms);
            tc->standing = demo_clock_save();
        }
        tc->paused = 1;
        follow_music(tc);
    }
}

static void toggle_loop(TimeControl *tc, int32_t now) {
    if (tc->looping) {
        tc->looping = 0;
        return;
    }
    const int scene = time_control_scene(tc, now);
    tc->looping = 1;
    tc->loop_from_ms = tc->scene_start_ms[scene - 1];
    tc->loop_to_ms = tc->scene_start_ms[scene];
    if (tc->held_at_end) move_to(tc, tc->loop_from_ms);
}

void time_control_key(TimeControl *tc, int key, int shift, uint32_t timer_ms) {
    const int32_t now = position(tc, timer_ms);
    const int32_t step = shift ? 10000 : 2000;
    const int scene = time_control_scene(tc, now);
    const int32_t scene_start = tc->scene_start_ms[scene - 1];
    if (key == KEY_SPACE) {
        toggle_pause(tc, timer_ms);
    } else if (key == KEY_L) {
        toggle_loop(tc, now);
    } else if (key == KEY_LEFT || key == KEY_RIGHT) {
        move_to(tc, key == KEY_LEFT ? now - step : now + step);
    } else if (key == KEY_PAGE_DOWN) {
        move_to(tc, tc->scene_start_ms[scene]);
    } else if (key == KEY_PAGE_UP) {
        const bool into = now - scene_start > PageUpGraceMs || scene == 1;
        move_to(tc, into ? scene_start : tc->scene_start_ms[scene - 2]);
    } else if (key == KEY_HOME) {
        move_to(tc, 0);
    } else if (key >= KEY_DIGIT_1 && key <= KEY_DIGIT_9) {
        move_to(tc, tc->scene_start_ms[key - KEY_DIGIT_1]);
    }
}

int32_t time_control_frame(TimeControl *tc, uint32_t timer_ms) {
    if (tc->anchored && !tc->paused && !tc->held_at_end) {
        const int32_t now = position(tc, timer_ms);
        if (tc->looping && now >= tc->loop_to_ms) {
            move_to(tc, tc->loop_from_ms);
        } else if (now >= StudioEndMs) {
            tc->anchor_loop_ms = StudioEndMs;
            tc->standing = demo_clock_save();
            tc->held_at_end = 1;
            follow_music(tc);
        } else {
            return tc->shown_ms = now;
        }
    }
    demo_clock_restore(tc->standing);
    if (!tc->anchored) tc->anchored = 1, tc->anchor_timer_ms = timer_ms;
    return tc->shown_ms = tc->anchor_loop_ms;
}
