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
    WindowRebuildHook = [] { ProgramBuildHook(); };
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
static AudioStream Stream = 0;
static uint32_t Start = 0;
static int Quit = 0;

// One pass; 0 when it was the last.
static int demo_pass() {
    int32_t elapsed = static_cast<int32_t>(timer_ms() - Start);
    Message message;
    while (message_peek(&message)) {
        if (message.quit) Quit = 1;
        message_dispatch(&message);
    }
    render_frame(elapsed);
    if (elapsed > DemoLengthMs) Quit = 1;
    window_swap(&Window);
    return !Quit;
}

int demo_main() {
    // A launcher or script must see that the demo never ran.
    if (!demo_open(&Window)) return 1;
    Stream = demo_music_start(&Window);
    // Picture and sound are tied together by this order alone.
    Start = timer_ms();
    Quit = 0;
    frame_loop_run(demo_pass, [] { demo_close(&Window, Stream); });
    return 0;
}
