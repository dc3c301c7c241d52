#include "recording_platform.h"

#include "gfx/programs.h"
#include "gfx/resources.h"
#include "platform/audio.h"
#include "platform/events.h"
#include "platform/message_box.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "timeline/demo_clock.h"

RecordingPlatform Fake;

int WindowWidth = 0;
int WindowHeight = 0;
void *MainWindowHandle = nullptr;
void (*WindowRebuildHook)() = nullptr;
void (*MessageBoxHook)(void *, const char *, const char *, int) = nullptr;

void *window_module_instance() {
    Fake.calls.push_back("module_instance");
    return &Fake;
}
int window_init(WindowRecord *record) {
    Fake.calls.push_back(record->instance == &Fake ? "window_init"
                                                   : "window_init without instance");
    return Fake.window_ok;
}
void window_end(WindowRecord *) {
    Fake.calls.push_back("window_end");
}
void window_swap(WindowRecord *) {
    Fake.calls.push_back("swap");
}

// Each pass starts with one peek round: the queue of that pass is handed out message by message.
static std::vector<int> CurrentQueue;
static bool QueueLoaded = false;

int message_peek(Message *message) {
    if (!QueueLoaded) {
        QueueLoaded = true;
        if (!Fake.pass_queues.empty()) {
            CurrentQueue = Fake.pass_queues.front();
            Fake.pass_queues.pop_front();
        } else {
            CurrentQueue.clear();
        }
    }
    if (CurrentQueue.empty()) {
        QueueLoaded = false;
        Fake.calls.push_back("queue empty");
        return 0;
    }
    message->quit = CurrentQueue.front();
    CurrentQueue.erase(CurrentQueue.begin());
    Fake.calls.push_back(message->quit ? "peek quit" : "peek");
    return 1;
}
void message_dispatch(const Message *) {
    Fake.calls.push_back("dispatch");
}

void message_box(void *owner, const char *text, const char *caption, int kind) {
    Fake.calls.push_back(std::string("box ") + caption + ": " + text +
                         (owner ? " owned" : " unowned") +
                         (kind == MESSAGE_BOX_WARNING ? " warning" : ""));
}

uint32_t timer_ms() {
    Fake.calls.push_back("timer");
    uint32_t reading = Fake.timer_readings.front();
    if (Fake.timer_readings.size() > 1) Fake.timer_readings.pop_front();
    return reading;
}

int audio_init(int device, uint32_t frequency, uint32_t flags, void *, const void *clsid) {
    Fake.calls.push_back("audio_init " + std::to_string(device) + " " + std::to_string(frequency) +
                         " " + std::to_string(flags) + (clsid ? " clsid" : ""));
    return 1;
}
AudioStream audio_stream_create_file(int from_memory, const void *file, uint64_t offset,
                                     uint64_t length, uint32_t flags) {
    Fake.calls.push_back("create " + std::to_string(from_memory) + " " +
                         static_cast<const char *>(file) + " " + std::to_string(offset) + " " +
                         std::to_string(length) + " " + std::to_string(flags));
    return 7;
}
int audio_channel_play(AudioStream stream, int restart) {
    Fake.calls.push_back("play " + std::to_string(stream) + " " + std::to_string(restart));
    return 1;
}
int audio_start() {
    Fake.calls.push_back("audio_start");
    return 1;
}
int audio_channel_stop(AudioStream stream) {
    Fake.calls.push_back("stop " + std::to_string(stream));
    return 1;
}
int audio_stream_free(AudioStream stream) {
    Fake.calls.push_back("free " + std::to_string(stream));
    return 1;
}
int audio_free() {
    Fake.calls.push_back("audio_free");
    return 1;
}

int load_resources() {
    Fake.calls.push_back("load_resources");
    return Fake.resources_ok;
}
void build_programs() {
    Fake.calls.push_back("build_programs");
}
void render_frame(int32_t now) {
    Fake.calls.push_back("render " + std::to_string(now));
}
