// The main loop against a recording fake of everything it calls: each case's transcript of calls
// and its exit code. The order is the contract: time zero read after the music starts, one timer
// reading per pass, then the queue drained, then the frame drawn and swapped, the first pass past
// 151000 ms the last, and the shutdown.
#include "app/demo_main.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "platform/audio.h"
#include "platform/events.h"
#include "platform/message_box.h"
#include "platform/timer.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

namespace {
struct {
    std::string calls;
    std::deque<uint32_t> timer_readings; // one per timer_ms call; the last repeats
    std::deque<int> messages;            // 1 quit, 0 another message, -1 the end of a pass's queue
    bool window_ok, resources_ok;
} Fake;
void record(const std::string &call) {
    Fake.calls += call + " ";
}
} // namespace

int WindowWidth, WindowHeight;
void *MainWindowHandle;
void (*WindowRebuildHook)();
ProgramBuildSeam ProgramBuildHook;
void (*MessageBoxHook)(void *, const char *, const char *, int);

#define FAKE(type, name, params, result)                                                           \
    type name params {                                                                             \
        record(#name);                                                                             \
        return result;                                                                             \
    }
FAKE(void *, window_module_instance, (), &Fake)
FAKE(int, window_init, (WindowRecord *), Fake.window_ok)
FAKE(void, window_end, (WindowRecord *), void())
FAKE(void, window_swap, (WindowRecord *), void())
FAKE(void, message_dispatch, (const Message *), void())
FAKE(int, audio_init, (int, uint32_t, uint32_t, void *, const void *), 1)
FAKE(int, audio_channel_play, (AudioStream, int), 1)
FAKE(int, audio_start, (), 1)
FAKE(int, audio_channel_stop, (AudioStream), 1)
FAKE(int, audio_stream_free, (AudioStream), 1)
FAKE(int, audio_free, (), 1)
FAKE(int, load_resources, (), Fake.resources_ok)
FAKE(void, build_programs, (), void())

AudioStream audio_stream_create_file(int, const void *file, uint64_t, uint64_t, uint32_t) {
    record(std::string("create ") + static_cast<const char *>(file));
    return 7;
}
void message_box(void *, const char *text, const char *caption, int) {
    record(std::string("box ") + caption + ": " + text);
}
void render_frame(int32_t now) {
    record("render " + std::to_string(now));
}
uint32_t timer_ms() {
    record("timer");
    const uint32_t reading = Fake.timer_readings.front();
    if (Fake.timer_readings.size() > 1) Fake.timer_readings.pop_front();
    return reading;
}
int message_peek(Message *message) {
    const int next = Fake.messages.empty() ? -1 : Fake.messages.front();
    if (!Fake.messages.empty()) Fake.messages.pop_front();
    record(next < 0 ? "queue empty" : next ? "peek quit" : "peek");
    message->quit = next > 0;
    return next >= 0;
}

namespace {

TEST(MainLoop, EveryCaseMakesItsCallsInOrderAndExitsWithItsCode) {
    const std::string start = "window_module_instance window_init load_resources audio_init "
                              "create data/tune.mp3 audio_channel_play audio_start timer ",
                      end = "audio_channel_stop audio_stream_free audio_free window_end ";
    auto pass = [](int ms) {
        return "timer queue empty render " + std::to_string(ms) + " window_swap ";
    };
    auto check = [](std::deque<uint32_t> timer_readings, std::deque<int> messages, bool window_ok,
                    bool resources_ok, int code, const std::string &calls) {
        Fake = {"", timer_readings, messages, window_ok, resources_ok};
        EXPECT_EQ(demo_main(), code);
        EXPECT_EQ(Fake.calls, calls);
    };
    // Exactly 151000 is not the last pass; 151001 is, and it is still drawn and swapped.
    check({500, 500, 50500, 151500, 151501, 9999}, {}, true, true, 0,
          start + pass(0) + pass(50000) + pass(151000) + pass(151001) + end);
    // A quit amid other messages: the drain goes on to the end of the queue, the pass is still
    // drawn and swapped, and it is the last.
    check({0, 16, 33, 50}, {-1, 0, 1, 0}, true, true, 0,
          start + pass(16) + "timer peek message_dispatch peek quit message_dispatch peek " +
              "message_dispatch queue empty render 33 window_swap " + end);
    // Nothing is loaded and the audio library is never called.
    check({0}, {}, false, true, 1,
          "window_module_instance window_init window_end box error: window_init()! ");
    check({0}, {}, true, false, 1, "window_module_instance window_init load_resources window_end ");
    Fake.calls.clear();
    ProgramBuildHook = {[](void *) { build_programs(); }, nullptr};
    ASSERT_TRUE(WindowRebuildHook);
    WindowRebuildHook();
    EXPECT_EQ(Fake.calls, "build_programs ") << "y, Y and p must rebuild the programs";
}

} // namespace
