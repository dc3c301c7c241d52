#include "app/demo_main.h"

#include "gfx/data_dir.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "platform/audio.h"
#include "platform/events.h"
#include "platform/frame_loop.h"
#include "platform/message_box.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "timeline/demo_clock.h"

#include <cstdint>

static WindowRecord Window = {nullptr, nullptr, nullptr, nullptr, DemoFullscreen, "ox_"};

int demo_open(WindowRecord *window) {
    window->instance = window_module_instance();
    if (!window_init(window)) {
        window_end(window);
        message_box(nullptr, "window_init()!", "error", MESSAGE_BOX_WARNING);
        return 0;
    }
    // The rebuild keys run whichever build is switched in now.
    WindowRebuildHook = [] { ProgramBuildHook.run(); };
    if (!load_resources()) {
        window_end(window);
        return 0;
    }
    return 1;
}

AudioStream demo_music_start(WindowRecord *window) {
    audio_init(-1, 44100, 0, window->window, nullptr);
    AudioStream stream = audio_stream_create_file(0, data_path(MusicFileName).text, 0, 0, 0);
    audio_channel_play(stream, 1);
    audio_start();
    return stream;
}

void demo_close(WindowRecord *window, AudioStream stream) {
    audio_channel_stop(stream);
    audio_stream_free(stream);
    audio_free();
    window_end(window);
}

// The plain demo's run, kept between the passes of a loop that may be a browser's frame callback.
struct DemoRun {
    AudioStream stream;
    uint32_t start;
    int quit;
};

// One pass; 0 when it was the last.
static int demo_pass(void *context) {
    DemoRun &run = *static_cast<DemoRun *>(context);
    int32_t elapsed = static_cast<int32_t>(timer_ms() - run.start);
    Message message;
    while (message_peek(&message)) {
        if (message.quit) run.quit = 1;
        message_dispatch(&message);
    }
    render_frame(elapsed);
    if (elapsed > DemoLengthMs) run.quit = 1;
    window_swap(&Window);
    return !run.quit;
}

static void demo_finish(void *context) {
    DemoRun *run = static_cast<DemoRun *>(context);
    demo_close(&Window, run->stream);
    delete run;
}

int demo_main() {
    // A launcher or script must see that the demo never ran.
    if (!demo_open(&Window)) return 1;
    DemoRun *run = new DemoRun{demo_music_start(&Window), 0, 0};
    // Picture and sound are tied together by this order alone.
    run->start = timer_ms();
    frame_loop_run(demo_pass, demo_finish, run);
    return 0;
}
