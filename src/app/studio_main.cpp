#include "app/studio_main.h"

#include "app/demo_main.h"
#include "app/studio_session.h"
#include "gfx/data_dir.h"
#include "gfx/overlay_font.h"
#include "platform/console.h"
#include "platform/events.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "studio/frame_stats.h"
#include "studio/overlay_text.h"
#include "studio/scene_reads.h"
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

WindowRecord StudioWindow = {nullptr, nullptr, nullptr, nullptr, 0, "ox_"};
AudioStream Music = 0;
TimeControl Time;
FrameStats Frames;
SceneReads Reads;
bool OverlayShown = true;
// The studio's own work, for the figures it prints at the end: per frame, and per move.
std::vector<float> OwnFrameMs, MoveMs;

float ms_since(Clock::time_point start) {
    return std::chrono::duration<float, std::milli>(Clock::now() - start).count();
}

void seek_music(uint32_t ms) {
    audio_channel_seek(Music, ms);
}
void pause_music() {
    audio_channel_pause(Music);
}
void resume_music() {
    audio_channel_resume(Music);
}

void on_key(int key, int shift) {
    const Clock::time_point start = Clock::now();
    switch (key) {
    case KEY_TAB:
        OverlayShown = !OverlayShown;
        return;
    case KEY_R:
        if (shift)
            untouch_all(Tuning);
        else
            untouch_scene_reads(DemoClock, Tuning);
        return;
    default:
        time_control_key(&Time, key, shift, timer_ms());
        Frames.reset();
        MoveMs.push_back(ms_since(start));
    }
}

void draw_overlay(int32_t loop_ms) {
    scan_scene_reads(DemoClock, Tuning, Reads);
    const OverlayView view = {loop_ms,
                              DemoClock,
                              Time.paused || Time.held_at_end,
                              Time.looping != 0,
                              Time.loop_from_ms,
                              Time.loop_to_ms,
                              Frames.summary(),
                              &Reads};
    static char text[OverlayTextSize + StudioNotesSize];
    const std::size_t length = format_overlay_text(view, text, sizeof text);
    std::snprintf(text + length, sizeof text - length, "\n%s", studio_session_notes());
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
    StudioWindow.fullscreen = options.fullscreen;
    WindowCursorShown = 1;
    studio_session_prepare();
    if (!demo_open(&StudioWindow)) return 1;
    studio_session_start(options.tuning_file ? options.tuning_file : StudioTuningFile, data_dir(),
                         options.pickup);
    WindowKeyHook = on_key;
    OwnFrameMs.reserve(1 << 16);
    MoveMs.reserve(1 << 10);

    Music = demo_music_start(&StudioWindow);
    const MusicMoves moves = {seek_music, pause_music, resume_music};
    time_control_start(&Time, moves, options.from_ms, options.loop_from_ms, options.loop_to_ms);

    Clock::time_point frame_start = Clock::now();
    int quit = 0;
    Message message;
    while (!quit) {
        while (message_peek(&message)) {
            if (message.quit) quit = 1;
            message_dispatch(&message);
        }
        Clock::time_point own = Clock::now();
        const int32_t loop_ms = time_control_frame(&Time, timer_ms());
        studio_session_frame(timer_ms());
        float own_ms = ms_since(own);

        render_frame(loop_ms);
        if (OverlayShown) overlay_submit_frame();

        own = Clock::now();
        if (OverlayShown) draw_overlay(loop_ms);
        const Clock::time_point now = Clock::now();
        Frames.add(time_control_scene(&Time, loop_ms),
                   std::chrono::duration<float, std::milli>(now - frame_start).count());
        frame_start = now;
        own_ms += ms_since(own);
        if (OwnFrameMs.size() < OwnFrameMs.capacity()) OwnFrameMs.push_back(own_ms);
        window_swap(&StudioWindow);
    }

    WindowKeyHook = nullptr;
    studio_session_end();
    demo_close(&StudioWindow, Music);
    print_figures("own work per frame", OwnFrameMs);
    print_figures("moves", MoveMs);
    return 0;
}
