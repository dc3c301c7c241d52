// The main loop against a recording fake of everything it calls: each case's whole transcript of
// calls, in order, and its exit code. The order is the contract: start-up, time zero read after
// the music starts, one timer reading per pass, then the queue drained, then the frame drawn and
// swapped, the first pass past 151000 ms the last, and the shutdown.
#include "app/demo_main.h"
#include "gfx/programs.h"
#include "platform/window.h"
#include "recording_platform.h"

#include <gtest/gtest.h>

namespace {

const char Start[] = "module_instance window_init load_resources audio_init -1 44100 0 "
                     "create 0 data/tune.mp3 0 0 0 play 7 1 audio_start timer ";
const char Shutdown[] = "stop 7 free 7 audio_free window_end ";

TEST(MainLoop, EveryCaseMakesItsCallsInOrderAndExitsWithItsCode) {
    const struct {
        std::deque<uint32_t> timer_readings; // the first is time zero
        std::deque<std::vector<int>> pass_queues;
        bool window_ok, resources_ok;
        int code;
        std::string calls;
    } cases[] = {
        // Exactly 151000 is not the last pass; 151001 is, and it is still drawn and swapped.
        {{500, 500, 50500, 151500, 151501, 999999},
         {},
         true,
         true,
         0,
         std::string(Start) +
             "timer queue empty render 0 swap timer queue empty render 50000 swap "
             "timer queue empty render 151000 swap timer queue empty render 151001 swap " +
             Shutdown},
        // A quit amid other messages: the drain goes on to the end of the queue, the pass is
        // still drawn and swapped, and it is the last.
        {{0, 16, 33, 50},
         {{}, {0, 1, 0}, {}},
         true,
         true,
         0,
         std::string(Start) +
             "timer queue empty render 16 swap timer peek dispatch peek quit dispatch peek "
             "dispatch queue empty render 33 swap " +
             Shutdown},
        // Nothing is loaded and the audio library is never called.
        {{0},
         {},
         false,
         true,
         1,
         "module_instance window_init window_end "
         "box error: window_init()! unowned warning "},
        {{0}, {}, true, false, 1, "module_instance window_init load_resources window_end "},
    };
    for (const auto &c : cases) {
        Fake.reset();
        Fake.timer_readings = c.timer_readings;
        Fake.pass_queues = c.pass_queues;
        Fake.window_ok = c.window_ok;
        Fake.resources_ok = c.resources_ok;
        EXPECT_EQ(demo_main(), c.code);
        std::string calls;
        for (const std::string &call : Fake.calls) calls += call + " ";
        EXPECT_EQ(calls, c.calls);
    }
    EXPECT_EQ(WindowRebuildHook, &build_programs) << "y, Y and p must rebuild the programs";
}

} // namespace
