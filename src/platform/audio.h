// The audio library: the seven calls the demo makes to play its music.
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
