// The audio library's seven calls, and the studio's seek, pause and resume, over winmm's MCI.
//   [x] the music file opened as an MPEG audio device (mpegvideo) and played once from the start
//   [x] positions in milliseconds; a seek while paused stays paused
//   [x] no output device or no readable file: silence, and stop/free accept the 0 stream
//   [ ] device selection, output rate, in-memory streams and offsets (the demo never asks)
#include "platform/audio.h"
#include "platform/win32/win32_internals.h"

#include <cstdio>

static bool StreamOpen[4] = {};
static bool StreamPaused[4] = {};
constexpr AudioStream StreamSlots = sizeof StreamOpen / sizeof StreamOpen[0];

// Each stream is one MCI device under its own alias.
static bool send_command(const char *verb, AudioStream stream, const char *tail) {
    char command[64];
    std::snprintf(command, sizeof command, "%s demo_tune%u%s", verb, stream, tail);
    return mciSendStringA(command, nullptr, 0, nullptr) == 0;
}

static bool is_open(AudioStream stream) {
    return stream != 0 && stream <= StreamSlots && StreamOpen[stream - 1];
}

int audio_init(int, uint32_t, uint32_t, void *, const void *) {
    // MCI opens its device per file; this only says whether anything can be heard.
    return waveOutGetNumDevs() > 0;
}

AudioStream audio_stream_create_file(int from_memory, const void *file, uint64_t offset,
                                     uint64_t length, uint32_t) {
    if (from_memory || offset != 0 || length != 0 || !file) return 0;
    char path[MAX_PATH];
    int written = std::snprintf(path, sizeof path, "%s", static_cast<const char *>(file));
    if (written < 0 || written >= static_cast<int>(sizeof path)) return 0;
    for (char *c = path; *c; ++c)
        if (*c == '/') *c = '\\';
    for (AudioStream i = 0; i < StreamSlots; ++i) {
        if (StreamOpen[i]) continue;
        char command[MAX_PATH + 64];
        std::snprintf(command, sizeof command, "open \"%s\" type mpegvideo alias demo_tune%u", path,
                      i + 1);
        if (mciSendStringA(command, nullptr, 0, nullptr) != 0) return 0;
        StreamOpen[i] = true;
        return i + 1;
    }
    return 0;
}

int audio_channel_play(AudioStream stream, int restart) {
    if (!is_open(stream)) return 0;
    StreamPaused[stream - 1] = false;
    return send_command("play", stream, restart ? " from 0" : "");
}

int audio_start() {
    // An MCI device plays as soon as it is told to: there is no separate output to start.
    return 1;
}

int audio_channel_stop(AudioStream stream) {
    if (!is_open(stream)) return 0;
    return send_command("stop", stream, "");
}

int audio_stream_free(AudioStream stream) {
    if (!is_open(stream)) return 0;
    send_command("close", stream, "");
    StreamOpen[stream - 1] = false;
    return 1;
}

int audio_free() {
    for (AudioStream i = 1; i <= StreamSlots; ++i) audio_stream_free(i);
    return 1;
}

int audio_channel_seek(AudioStream stream, uint32_t ms) {
    if (!is_open(stream)) return 0;
    char tail[32];
    // MCI's seek stops the device, so a playing stream is moved with play from; a paused one
    // is left stopped at the new place until resume plays it.
    send_command("set", stream, " time format milliseconds");
    std::snprintf(tail, sizeof tail, StreamPaused[stream - 1] ? " to %u" : " from %u", ms);
    return send_command(StreamPaused[stream - 1] ? "seek" : "play", stream, tail);
}

int audio_channel_pause(AudioStream stream) {
    if (!is_open(stream)) return 0;
    StreamPaused[stream - 1] = true;
    return send_command("pause", stream, "");
}

int audio_channel_resume(AudioStream stream) {
    if (!is_open(stream)) return 0;
    StreamPaused[stream - 1] = false;
    // After a seek the device is stopped rather than paused: play continues from where it is.
    return send_command("play", stream, "");
}
