#include "app/demo_main.h"
#include "gfx/programs.h"
#include "platform/window.h"
#include "recording_platform.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> slice(int from, int to) {
    return std::vector<std::string>(Fake.calls.begin() + from, Fake.calls.begin() + to);
}

TEST(MainLoop, StartsUpInOrderAndTakesTimeZeroAfterTheMusicStarts) {
    Fake.reset();
    Fake.timer_readings = {1000, 1000, 153000};
    EXPECT_EQ(demo_main(), 0);
    std::vector<std::string> expected = {"module_instance",
                                         "window_init",
                                         "load_resources",
                                         "audio_init -1 44100 0",
                                         "create 0 data/tune.mp3 0 0 0",
                                         "play 7 1",
                                         "audio_start",
                                         "timer"};
    EXPECT_EQ(slice(0, 8), expected);
    EXPECT_EQ(WindowRebuildHook, &build_programs) << "y, Y and p must rebuild the programs";
}

TEST(MainLoop, EndsAfterTheFirstPassPast151000AndShutsDownInOrder) {
    Fake.reset();
    Fake.timer_readings = {500, 500, 50500, 151500, 151501, 999999};
    EXPECT_EQ(demo_main(), 0);
    // Exactly 151000 is not the last pass; 151001 is, and it is still drawn and swapped.
    EXPECT_EQ(Fake.frames, (std::vector<int32_t>{0, 50000, 151000, 151001}));
    int last = static_cast<int>(Fake.calls.size());
    std::vector<std::string> shutdown = {"render 151001", "swap",       "stop 7",
                                         "free 7",        "audio_free", "window_end"};
    EXPECT_EQ(slice(last - 6, last), shutdown);
    EXPECT_EQ(Fake.count("swap"), 4);
}

TEST(MainLoop, EachPassReadsTheTimerOnceThenDrainsThenDrawsThenSwaps) {
    Fake.reset();
    Fake.timer_readings = {0, 10, 200000};
    Fake.pass_queues = {{0, 0}, {}};
    demo_main();
    int first = Fake.index_of("render 10");
    ASSERT_GT(first, 0);
    std::vector<std::string> pass = {"timer",    "peek",        "dispatch",  "peek",
                                     "dispatch", "queue empty", "render 10", "swap"};
    EXPECT_EQ(slice(first - 6, first + 2), pass);
    // One reading for time zero and one per pass: render_frame and the stop test share it.
    EXPECT_EQ(Fake.count("timer"), 1 + static_cast<int>(Fake.frames.size()));
}

TEST(MainLoop, AQuitRequestStillDrawsAndSwapsThatPassThenStops) {
    Fake.reset();
    Fake.timer_readings = {0, 16, 33, 50, 66, 83};
    // Pass 2 sees a quit followed by another message: the drain goes on to the end of the queue.
    Fake.pass_queues = {{}, {0, 1, 0}, {}};
    EXPECT_EQ(demo_main(), 0);
    EXPECT_EQ(Fake.frames, (std::vector<int32_t>{16, 33}));
    EXPECT_EQ(Fake.count("dispatch"), 3) << "the quit message is dispatched like any other";
    EXPECT_EQ(Fake.count("swap"), 2);
    EXPECT_EQ(Fake.calls.back(), "window_end");
}

TEST(MainLoop, AWindowThatCannotBeMadeEndsWithTheBoxAndExitCodeOne) {
    Fake.reset();
    Fake.window_ok = false;
    Fake.timer_readings = {0};
    EXPECT_EQ(demo_main(), 1);
    std::vector<std::string> expected = {"module_instance", "window_init", "window_end",
                                         "box error: window_init()! unowned warning"};
    EXPECT_EQ(Fake.calls, expected) << "nothing is loaded and the audio library is never called";
}

TEST(MainLoop, MissingOpenGl2EndsCleanlyWithExitCodeOneAndNoMusic) {
    Fake.reset();
    Fake.resources_ok = false;
    Fake.timer_readings = {0};
    EXPECT_EQ(demo_main(), 1);
    std::vector<std::string> expected = {"module_instance", "window_init", "load_resources",
                                         "window_end"};
    EXPECT_EQ(Fake.calls, expected);
}

} // namespace
