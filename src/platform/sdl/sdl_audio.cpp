// The audio library's seven calls, and the studio's seek, pause and resume, over SDL2_mixer.
//   [x] 44100 Hz stereo output, the music streamed from its file and played once from the start
//   [x] no output device or no readable file: silence, and stop/free accept the 0 stream
//   [x] a seek after the music ended starts it again; a seek while paused stays paused
//   [ ] device selection, in-memory streams and offsets (the demo never asks for them)
#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

static bool AudioOpen = false;
static Mix_Music *Streams[4] = {};
static bool MusicPaused = false;

static Mix_Music *stream_music(AudioStream stream) {
    if (stream == 0 || stream > sizeof Streams / sizeof Streams[0]) return nullptr;
    return Streams[stream - 1];
}

int audio_init(int, uint32_t frequency, uint32_t, void *, const void *) {
    if (AudioOpen) return 1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    Mix_Init(MIX_INIT_MP3);
    if (Mix_OpenAudio(static_cast<int>(frequency), MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    AudioOpen = true;
    return 1;
}

AudioStream audio_stream_create_file(int from_memory, const void *file, uint64_t offset,
                                     uint64_t length, uint32_t) {
    if (!AudioOpen || from_memory || offset != 0 || length != 0 || !file) return 0;
    for (AudioStream i = 0; i < sizeof Streams / sizeof Streams[0]; ++i) {
        if (Streams[i]) continue;
        Streams[i] = Mix_LoadMUS(static_cast<const char *>(file));
        return Streams[i] ? i + 1 : 0;
    }
    return 0;
}

int audio_channel_play(AudioStream stream, int restart) {
    Mix_Music *music = stream_music(stream);
    if (!music) return 0;
    if (!restart && Mix_PlayingMusic()) return 1;
    MusicPaused = false;
    return Mix_PlayMusic(music, 1) == 0;
}

int audio_start() {
    if (!AudioOpen) return 0;
    Mix_ResumeMusic();
    return 1;
}

int audio_channel_stop(AudioStream stream) {
    if (!stream_music(stream)) return 0;
    Mix_HaltMusic();
    return 1;
}

int audio_stream_free(AudioStream stream) {
    Mix_Music *music = stream_music(stream);
    if (!music) return 0;
    Mix_FreeMusic(music);
    Streams[stream - 1] = nullptr;
    return 1;
}

int audio_free() {
    if (!AudioOpen) return 0;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioOpen = false;
    return 1;
}

int audio_channel_seek(AudioStream stream, uint32_t ms) {
    Mix_Music *music = stream_music(stream);
    if (!music) return 0;
    // Once the music has run out SDL_mixer forgets it: play it again before moving it.
    if (!Mix_PlayingMusic()) {
        if (Mix_PlayMusic(music, 1) != 0) return 0;
        if (MusicPaused) Mix_PauseMusic();
    }
    return Mix_SetMusicPosition(ms / 1000.0) == 0;
}

int audio_channel_pause(AudioStream stream) {
    if (!stream_music(stream)) return 0;
    Mix_PauseMusic();
    MusicPaused = true;
    return 1;
}

int audio_channel_resume(AudioStream stream) {
    if (!stream_music(stream)) return 0;
    Mix_ResumeMusic();
    MusicPaused = false;
    return 1;
}
