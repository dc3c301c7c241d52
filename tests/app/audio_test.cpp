// The audio layer over SDL2_mixer, on SDL's dummy driver: the real music opens and plays, and every
// failure is silence that the stop and free calls accept.
#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

TEST(Audio, TheMusicOpensAndPlaysOnTheDummyDevice) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(audio_init(-1, 44100, 0, nullptr, nullptr), 1);
    AudioStream stream = audio_stream_create_file(0, DEMO_SOURCE_DIR "/data/tune.mp3", 0, 0, 0);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audio_channel_play(stream, 1), 1);
    EXPECT_EQ(audio_start(), 1);
    EXPECT_TRUE(Mix_PlayingMusic());
    EXPECT_EQ(audio_channel_stop(stream), 1);
    EXPECT_FALSE(Mix_PlayingMusic());
    EXPECT_EQ(audio_stream_free(stream), 1);

    // A missing file and a text file posing as an MP3: no stream, and the calls stay harmless.
    EXPECT_EQ(audio_stream_create_file(0, "no/such/tune.mp3", 0, 0, 0), 0u);
    std::ofstream("not_music.mp3") << "this is not an mp3\n";
    AudioStream text = audio_stream_create_file(0, "not_music.mp3", 0, 0, 0);
    EXPECT_EQ(text, 0u);
    EXPECT_EQ(audio_channel_play(0, 1), 0);
    EXPECT_EQ(audio_channel_stop(0), 0);
    EXPECT_EQ(audio_stream_free(0), 0);
    EXPECT_EQ(audio_free(), 1);
    std::remove("not_music.mp3");
}

TEST(Audio, NoOutputDeviceMeansSilenceNotFailure) {
    SDL_setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(audio_init(-1, 44100, 0, nullptr, nullptr), 0);
    AudioStream stream = audio_stream_create_file(0, DEMO_SOURCE_DIR "/data/tune.mp3", 0, 0, 0);
    EXPECT_EQ(stream, 0u);
    EXPECT_EQ(audio_channel_play(stream, 1), 0);
    EXPECT_EQ(audio_start(), 0);
    EXPECT_EQ(audio_channel_stop(stream), 0);
    EXPECT_EQ(audio_stream_free(stream), 0);
    EXPECT_EQ(audio_free(), 0);
}

} // namespace
