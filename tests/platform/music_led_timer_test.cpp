// The page's timer against a music whose position moves in steps, stalls, jumps and is moved.
#include "platform/music_led_timer.h"

#include <gtest/gtest.h>

namespace {

// A reading (clock, held, music, playing, position), the timer it gives; a move (clock, position)
// first where `moved` is set.
struct Step {
    LeadReading reading;
    double expected;
    bool moved = false;
};

TEST(MusicLedTimer, FollowsHoldsAndNeverRunsBackwards) {
    const Step steps[] = {
        {{1000, false, true, true, 0}, 0, true}, // the music starts at page time 1 s
        // Its position moves in steps of a few frames: the clock fills in between.
        {{1033, false, true, true, 30}, 33},
        // A clock 33 ms ahead is pulled back to the music; a music that jumps back holds it.
        {{1083, false, true, true, 50}, 50},
        {{1090, false, true, true, 20}, 50},
        {{1100, false, true, true, 50}, 60},
        // Waiting for data: held where the music is, whatever the clock does.
        {{1200, false, true, false, 150}, 150},
        {{1210, false, true, false, 150}, 150},
        // A box at the start holds the whole; closed, it goes on from there.
        {{1300, true, true, false, 150}, 150},
        {{5000, true, true, false, 150}, 150},
        {{5010, false, true, true, 160}, 160},
        // A seek (the studio's) moves the music, not the timer.
        {{5100, false, true, true, 60000}, 160, true},
        {{5116, false, true, true, 60016}, 176},
        // The music ends or goes: the page's clock goes on from where the music left it.
        {{5200, false, false, false, 0}, 260},
    };
    MusicLedTimer timer;
    for (const Step &step : steps) {
        if (step.moved)
            music_led_timer_moved(timer, step.reading.clock_ms, step.reading.position_ms);
        EXPECT_EQ(music_led_timer_now(timer, step.reading), step.expected)
            << "at " << step.reading.clock_ms;
    }
}

} // namespace
