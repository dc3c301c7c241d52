#include "app/studio_main.h"

#include "app/demo_main.h"
#include "gfx/data_dir.h"
#include "gfx/overlay_font.h"
#include "platform/console.h"
#include "platform/events.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "studio/frame_stats.h"
#include "studio/overlay_text.h"
#include "studio/scene_reads.h"
#include "studio/studio_session.h"
#include "studio/time_control.h"
#include "timeline/demo_clock.h"
#include "tuning/tuning_bank.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Everything the studio holds while it runs, in one place; the platform's callbacks (keys, music
// moves) reach it here.
struct StudioState {
    WindowRecord window = {nullptr, nullptr, nullptr, nullptr, 0, "ox_"};
    AudioStream music = 0;
    TimeControl time;
    FrameStats frames;
    SceneReads reads;
    bool overlay_shown = true;
    // The studio's own work, for the figures it prints at the end: per frame, and per move.
    std::vector<float> own_frame_ms, move_ms;
    StudioSession session;
} Studio;

float ms_since(Clock::time_point start) {
    return std::chrono::duration<float, std::milli>(Clock::now() - start).count();
}

void seek_music(uint32_t ms) {
    audio_channel_seek(Studio.music, ms);
}
void pause_music() {
    audio_channel_pause(Studio.music);
}
void resume_music() {
    audio_channel_resume(Studio.music);
}

void on_key(int key, int shift) {
    const Clock::time_point start = Clock::now();
    switch (key) {
    case KEY_TAB:
        Studio.overlay_shown = !Studio.overlay_shown;
        return;
    case KEY_R:
        if (shift)
            untouch_all(Tuning);
        else
            untouch_scene_reads(DemoClock, Tuning);
        return;
    default:
        time_control_key(&Studio.time, key, shift, timer_ms());
        Studio.frames.reset();
        Studio.move_ms.push_back(ms_since(start));
    }
}

void draw_overlay(int32_t loop_ms) {
    scan_scene_reads(DemoClock, Tuning, Studio.reads);
    const TimeControl &tc = Studio.time;
    const OverlayView view = {
        loop_ms,         DemoClock,     tc.paused || tc.held_at_end, tc.looping != 0,
        tc.loop_from_ms, tc.loop_to_ms, Studio.frames.summary(),     &Studio.reads};
    static char text[OverlayTextSize + StudioNotesSize];
    const std::size_t length = format_overlay_text(view, text, sizeof text);
    std::snprintf(text + length, sizeof text - length, "\n%s",
                  studio_session_notes(Studio.session));
    draw_overlay_text(text);
}

// Median and 99th percentile by nearest rank; the vector is reordered.
void print_figures(const char *what, std::vector<float> &ms) {
    if (ms.empty()) return;
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    char line[160];
    std::snprintf(line, sizeof line, "studio: %s: %zu, median %.3f ms, 99th percentile %.3f ms\n",
                  what, n, static_cast<double>(ms[(n - 1) / 2]),
                  static_cast<double>(ms[std::min(n - 1, (n * 99 + 99) / 100 - 1)]));
    console_write(line, CONSOLE_NOTE);
}

} // namespace

int studio_main(const DemoOptions &options) {
    Studio.window.fullscreen = options.fullscreen;
    WindowCursorShown = 1;
    studio_session_prepare(Studio.session);
    if (!demo_open(&Studio.window)) return 1;
    studio_session_start(Studio.session,
                         options.tuning_file ? options.tuning_file : StudioTuningFile, shader_dir(),
                         options.pickup);
    WindowKeyHook = on_key;
    Studio.own_frame_ms.reserve(1 << 16);
    Studio.move_ms.reserve(1 << 10);

    Studio.music = demo_music_start(&Studio.window);
    const MusicMoves moves = {seek_music, pause_music, resume_music};
    time_control_start(&Studio.time, moves, options.from_ms, options.loop_from_ms,
                       options.loop_to_ms);
    // A link's paused moment: as Space would (held at the end it stands already).
    if (options.start_paused && !Studio.time.held_at_end)
        time_control_key(&Studio.time, KEY_SPACE, 0, timer_ms());

    Clock::time_point frame_start = Clock::now();
    int quit = 0, scene = 0;
    Message message;
    while (!quit) {
        while (message_peek(&message)) {
            if (message.quit) quit = 1;
            message_dispatch(&message);
        }
        Clock::time_point own = Clock::now();
        const int32_t loop_ms = time_control_frame(&Studio.time, timer_ms());
        studio_session_frame(Studio.session, timer_ms());
        float own_ms = ms_since(own);

        render_frame(loop_ms);
        if (Studio.overlay_shown) overlay_submit_frame();

        own = Clock::now();
        if (Studio.overlay_shown) draw_overlay(loop_ms);
        const Clock::time_point now = Clock::now();
        scene = time_control_scene(&Studio.time, loop_ms);
        Studio.frames.add(scene,
                          std::chrono::duration<float, std::milli>(now - frame_start).count());
        frame_start = now;
        own_ms += ms_since(own);
        if (Studio.own_frame_ms.size() < Studio.own_frame_ms.capacity())
            Studio.own_frame_ms.push_back(own_ms);
        window_swap(&Studio.window);
    }

    WindowKeyHook = nullptr;
    studio_session_end(Studio.session);
    demo_close(&Studio.window, Studio.music);
    print_figures("own work per frame", Studio.own_frame_ms);
    print_figures("moves", Studio.move_ms);
    // The overlay's frame figure as it stood at the end, for runs that time a scene from outside.
    const FrameSummary last = Studio.frames.summary();
    char line[160];
    std::snprintf(line, sizeof line,
                  "studio: frame time, scene %d, the last second: %d frames, median %.1f ms, 99th "
                  "percentile %.1f ms\n",
                  scene, last.frames, static_cast<double>(last.median_ms),
                  static_cast<double>(last.p99_ms));
    console_write(line, CONSOLE_NOTE);
    return 0;
}
