#include "app/studio_main.h"

#include "app/demo_main.h"
#include "gfx/data_dir.h"
#include "app/studio_overlay.h"
#include "gfx/overlay_font.h"
#include "platform/console.h"
#include "platform/events.h"
#include "platform/frame_loop.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "studio/frame_stats.h"
#include "studio/overlay_text.h"
#include "studio/preview_scale.h"
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

// Everything the studio holds while it runs, in one record made for the run and freed at its end:
// the passes of its loop and the platform's callbacks (keys, music moves) are given it.
struct Studio {
    WindowRecord window = {nullptr, nullptr, nullptr, nullptr, 0, "ox_"};
    AudioStream music = 0;
    TimeControl time;
    FrameStats frames;
    SceneReads reads;
    PreviewScale preview;
    bool overlay_shown = true;
    // The studio's own work, for the figures it prints at the end: per frame, and per move.
    std::vector<float> own_frame_ms, move_ms;
    StudioSession session;
    // Kept between the passes of the loop.
    Clock::time_point frame_start;
    int quit = 0;
    int scene = 0;
};

float ms_since(Clock::time_point start) {
    return std::chrono::duration<float, std::milli>(Clock::now() - start).count();
}

void seek_music(void *studio, uint32_t ms) {
    audio_channel_seek(static_cast<Studio *>(studio)->music, ms);
}
void pause_music(void *studio) {
    audio_channel_pause(static_cast<Studio *>(studio)->music);
}
void resume_music(void *studio) {
    audio_channel_resume(static_cast<Studio *>(studio)->music);
}

void on_key(void *context, int key, int shift) {
    Studio &studio = *static_cast<Studio *>(context);
    const Clock::time_point start = Clock::now();
    switch (key) {
    case KEY_TAB:
        studio.overlay_shown = !studio.overlay_shown;
        return;
    case KEY_R:
        if (shift)
            untouch_all(Tuning);
        else
            untouch_scene_reads(DemoClock, Tuning);
        return;
    case KEY_S:
        preview_next(studio.preview);
        studio.frames.reset(); // the frame figure is the new scale's
        return;
    default:
        time_control_key(&studio.time, key, shift, timer_ms());
        studio.frames.reset();
        studio.move_ms.push_back(ms_since(start));
    }
}

void show_overlay(Studio &studio, int32_t loop_ms) {
    scan_scene_reads(DemoClock, Tuning, studio.reads);
    const TimeControl &tc = studio.time;
    const OverlayView view = {
        loop_ms,         DemoClock,     tc.paused || tc.held_at_end, tc.looping != 0,
        tc.loop_from_ms, tc.loop_to_ms, studio.frames.summary(),     studio.preview.divisor,
        &studio.reads};
    present_overlay({studio.overlay_shown, view, studio_session_notes(studio.session),
                     studio.session.build_failure});
}

// One frame of the studio; 0 when it was the last.
int studio_pass(void *context) {
    Studio &studio = *static_cast<Studio *>(context);
    Message message;
    while (message_peek(&message)) {
        if (message.quit) studio.quit = 1;
        message_dispatch(&message);
    }
    Clock::time_point own = Clock::now();
    const int32_t loop_ms = time_control_frame(&studio.time, timer_ms());
    studio_session_frame(studio.session, timer_ms());
    float own_ms = ms_since(own);

    render_frame(loop_ms);
    if (studio.overlay_shown) overlay_submit_frame();

    own = Clock::now();
    if (studio.overlay_shown || OverlayBesidePicture) show_overlay(studio, loop_ms);
    const Clock::time_point now = Clock::now();
    studio.scene = time_control_scene(&studio.time, loop_ms);
    studio.frames.add(studio.scene,
                      std::chrono::duration<float, std::milli>(now - studio.frame_start).count());
    studio.frame_start = now;
    own_ms += ms_since(own);
    if (studio.own_frame_ms.size() < studio.own_frame_ms.capacity())
        studio.own_frame_ms.push_back(own_ms);
    window_swap(&studio.window);
    return !studio.quit;
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

void studio_finish(void *context) {
    Studio *studio = static_cast<Studio *>(context);
    WindowKeyHook = {};
    SceneDraw = SceneDrawGl;
    preview_end(studio->preview);
    studio_session_end(studio->session);
    demo_close(&studio->window, studio->music);
    print_figures("own work per frame", studio->own_frame_ms);
    print_figures("moves", studio->move_ms);
    // The overlay's frame figure as it stood at the end, for runs that time a scene from outside.
    const FrameSummary last = studio->frames.summary();
    char line[160];
    std::snprintf(line, sizeof line,
                  "studio: frame time, scene %d, the last second: %d frames, median %.1f ms, 99th "
                  "percentile %.1f ms, preview 1/%d\n",
                  studio->scene, last.frames, static_cast<double>(last.median_ms),
                  static_cast<double>(last.p99_ms), studio->preview.divisor);
    console_write(line, CONSOLE_NOTE);
    delete studio;
}

} // namespace

int studio_main(const DemoOptions &options) {
    Studio *studio = new Studio(); // zeroed, as a static was
    studio->window.fullscreen = options.fullscreen;
    WindowCursorShown = 1;
    studio_session_prepare(studio->session);
    if (!demo_open(&studio->window)) {
        studio_session_end(studio->session);
        delete studio;
        return 1;
    }
    studio_session_start(studio->session,
                         options.tuning_file ? options.tuning_file : StudioTuningFile, shader_dir(),
                         options.pickup);
    WindowKeyHook = {on_key, studio};
    studio->own_frame_ms.reserve(1 << 16);
    studio->move_ms.reserve(1 << 10);
    preview_start(studio->preview);
    SceneDraw = preview_seam(studio->preview);

    studio->music = demo_music_start(&studio->window);
    time_control_start(&studio->time, {seek_music, pause_music, resume_music, studio},
                       options.from_ms, options.loop_from_ms, options.loop_to_ms);
    // A link's paused moment: as Space would (held at the end it stands already).
    if (options.start_paused && !studio->time.held_at_end)
        time_control_key(&studio->time, KEY_SPACE, 0, timer_ms());
    studio->frame_start = Clock::now();
    frame_loop_run(studio_pass, studio_finish, studio);
    return 0;
}
