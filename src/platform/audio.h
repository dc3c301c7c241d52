// The audio library: the seven calls the demo makes to play its music, and the studio's three.
#pragma once
#include <cstdint>

typedef uint32_t AudioStream; // 0: no stream

int audio_init(int device, uint32_t frequency, uint32_t flags, void *window, const void *clsid);
AudioStream audio_stream_create_file(int from_memory, const void *file, uint64_t offset,
                                     uint64_t length, uint32_t flags);
int audio_channel_play(AudioStream stream, int restart);
int audio_start();
int audio_channel_stop(AudioStream stream);
int audio_stream_free(AudioStream stream);
int audio_free();

// The studio's moves, on a stream that was played: to `ms` from the music's start (playing on, or
// staying paused), pause and resume. 0 when there is nothing to move.
int audio_channel_seek(AudioStream stream, uint32_t ms);
int audio_channel_pause(AudioStream stream);
int audio_channel_resume(AudioStream stream);
