// The page's timer against a music whose position moves in steps, stalls and jumps.
#include "platform/music_led_timer.h"

#include <gtest/gtest.h>

namespace {

LeadReading playing(double clock, double position) {
    return {clock, false, true, true, position};
}

TEST(MusicLedTimer, FollowsTheMusicWithinItsToleranceAndNeverRunsBackwards) {
    MusicLedTimer timer;
    music_led_timer_moved(timer, 1000, 0); // the music starts at page time 1 s
    EXPECT_EQ(music_led_timer_now(timer, playing(1000, 0)), 0);
    // The element's position moves in steps of a few frames: the clock fills in between.
    EXPECT_EQ(music_led_timer_now(timer, playing(1016, 0)), 16);
    EXPECT_EQ(music_led_timer_now(timer, playing(1033, 30)), 33);
    // A clock that runs ahead of the music is pulled back to it beyond the tolerance; since the
    // timer never runs backwards it waits there for the music.
    double t = 0;
    for (double clock = 1033, music = 30; clock < 3000; clock += 16, music += 15)
        t = music_led_timer_now(timer, playing(clock, music));
    EXPECT_NEAR(t, 1967 * 15.0 / 16, MusicLeadToleranceMs + 16);
    // A music that jumps back holds the picture until it is there again.
    const double before = music_led_timer_now(timer, playing(3016, 1900));
    EXPECT_EQ(music_led_timer_now(timer, playing(3032, 1000)), before);
    EXPECT_EQ(music_led_timer_now(timer, playing(3048, 1016)), before);
}

TEST(MusicLedTimer, HoldsWhileTheMusicStallsOrABoxHoldsTheStartThenGoesOnWithoutJumping) {
    MusicLedTimer timer;
    music_led_timer_moved(timer, 5000, 0);
    EXPECT_EQ(music_led_timer_now(timer, {5000, true, true, false, 0}), 0);
    EXPECT_EQ(music_led_timer_now(timer, {9000, true, true, false, 0}), 0);
    // Closed at 9 s: the music starts and the timer with it, from where it was held.
    EXPECT_EQ(music_led_timer_now(timer, playing(9010, 10)), 10);
    // Waiting for data: held where the music is, whatever the clock does.
    EXPECT_EQ(music_led_timer_now(timer, {9500, false, true, false, 400}), 400);
    EXPECT_EQ(music_led_timer_now(timer, {9510, false, true, false, 400}), 400);
    // A seek (the studio's) moves the music, not the timer, which goes on from its last value.
    music_led_timer_moved(timer, 9900, 60000);
    EXPECT_EQ(music_led_timer_now(timer, playing(9916, 60016)), 416);
    // The music ends or goes: the page's clock goes on from where the music left it.
    EXPECT_EQ(music_led_timer_now(timer, {10000, false, false, false, 0}), 500);
}

} // namespace
