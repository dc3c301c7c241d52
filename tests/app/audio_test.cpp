// The audio layer over SDL2_mixer, on SDL's dummy driver or the one SDL_AUDIODRIVER names (a sound
// server): the real music opens and plays, and every failure is silence that the stop and free
// calls accept.
#include "platform/audio.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

TEST(Audio, TheMusicPlaysOnTheDeviceAndAFileThatIsNoneIsHarmlessSilence) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 0); // or the server a test names
    ASSERT_EQ(audio_init(-1, 44100, 0, nullptr, nullptr), 1);
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), SDL_getenv("SDL_AUDIODRIVER"));
    AudioStream stream = audio_stream_create_file(0, DEMO_SOURCE_DIR "/data/tune.mp3", 0, 0, 0);
    ASSERT_NE(stream, 0u);
    EXPECT_TRUE(audio_channel_play(stream, 1) && audio_start() && Mix_PlayingMusic());
    EXPECT_TRUE(audio_channel_stop(stream) && !Mix_PlayingMusic() && audio_stream_free(stream));
    // Every slot serves: four streams open, a fifth is refused, and each of the four frees.
    const char *tune = DEMO_SOURCE_DIR "/data/tune.mp3";
    AudioStream four[4];
    for (AudioStream &each : four) each = audio_stream_create_file(0, tune, 0, 0, 0);
    EXPECT_EQ(audio_stream_create_file(0, tune, 0, 0, 0), 0u);
    for (AudioStream each : four) EXPECT_EQ(audio_stream_free(each), 1);
    std::ofstream("not_music.mp3") << "this is not an mp3\n";
    EXPECT_EQ(audio_stream_create_file(0, "no/such/tune.mp3", 0, 0, 0), 0u);
    EXPECT_EQ(audio_stream_create_file(0, "not_music.mp3", 0, 0, 0), 0u);
    std::remove("not_music.mp3");
    EXPECT_FALSE(audio_channel_play(0, 1) || audio_channel_stop(0) || audio_stream_free(0));
    EXPECT_EQ(audio_free(), 1);
}

TEST(Audio, NoOutputDeviceMeansSilenceNotFailure) {
    SDL_setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(audio_init(-1, 44100, 0, nullptr, nullptr), 0);
    EXPECT_EQ(audio_stream_create_file(0, DEMO_SOURCE_DIR "/data/tune.mp3", 0, 0, 0), 0u);
    EXPECT_FALSE(audio_start() || audio_free());
}
