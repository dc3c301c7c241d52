// The audio library in the browser: the page's own audio element, playing the music file that the
// start screen downloaded.
//   [x] a file the page did not load, or a play the browser refuses: silence, the demo plays on
//   [x] stop and free accept stream 0
//   [x] the studio's seek, pause and resume on the element; the timer follows the moves
//   [x] a box at the start holds the music until it is closed (the page's part)
#include "platform/audio.h"
#include "platform/web/web_timer.h"

#include <emscripten.h>

EM_JS(int, web_audio_open, (const char *path),
      { return Module.webPage.audioOpen(UTF8ToString(path)); });
EM_JS(void, web_audio_call, (const char *what, double ms),
      { Module.webPage.audioCall(UTF8ToString(what), ms); });
EM_JS(double, web_audio_position, (), { return Module.webPage.audioPosition(); });

int audio_init(int, uint32_t, uint32_t, void *, const void *) {
    return 1;
}

AudioStream audio_stream_create_file(int, const void *file, uint64_t, uint64_t, uint32_t) {
    return static_cast<AudioStream>(web_audio_open(static_cast<const char *>(file)));
}

static int call(AudioStream stream, const char *what, double ms = 0) {
    if (!stream) return 0;
    web_audio_call(what, ms);
    return 1;
}

int audio_channel_play(AudioStream stream, int restart) {
    if (stream && restart) web_timer_music_moved(0);
    return call(stream, restart ? "restart" : "resume");
}
int audio_start() {
    return 1;
}
int audio_channel_stop(AudioStream stream) {
    return call(stream, "pause");
}
int audio_stream_free(AudioStream stream) {
    return call(stream, "free");
}
int audio_free() {
    return 1;
}
int audio_channel_seek(AudioStream stream, uint32_t ms) {
    if (stream) web_timer_music_moved(ms);
    return call(stream, "seek", ms);
}
int audio_channel_pause(AudioStream stream) {
    return call(stream, "pause");
}
// While the studio holds the music the timer runs on the page's clock; resumed, it follows the
// music again from where it is.
int audio_channel_resume(AudioStream stream) {
    if (stream) web_timer_music_moved(web_audio_position());
    return call(stream, "resume");
}
