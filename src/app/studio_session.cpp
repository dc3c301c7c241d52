// The studio's session: the pieces of src/studio put to work on the process-wide bank, the
// program tables and the platform's watch and MIDI input.
#include "app/studio_session.h"

#include "gfx/programs.h"
#include "platform/console.h"
#include "platform/file_watch.h"
#include "platform/midi_in.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "studio/rebuild_debounce.h"
#include "studio/soft_takeover.h"
#include "studio/tuning_saver.h"
#include "tuning/tuning_bank.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::unique_ptr<TuningSaver> Saver;
RebuildDebounce Debounce;
bool Pickup = false;
char BuildFailure[ShaderPathSize + 600] = "";
char Notes[StudioNotesSize];

// Every build in the studio: what compiles replaces, what fails keeps its last good program and
// is told on the console (for whoever started the studio from a terminal) and in the overlay.
void build_keeping() {
    ProgramBuildFailure failure;
    const int failed = build_programs_keeping(failure);
    char text[sizeof BuildFailure] = "";
    if (failed)
        std::snprintf(text, sizeof text, "%s:%d: %s", failure.file, failure.line, failure.message);
    if (std::strcmp(text, BuildFailure) == 0) return;
    std::memcpy(BuildFailure, text, sizeof text);
    char line[sizeof text + 40];
    std::snprintf(line, sizeof line, "studio: %s\n", failed ? text : "every shader builds again");
    console_write(line, CONSOLE_NOTE);
}

// Listing the ports costs milliseconds when no JACK server runs (each try to reach one fails
// slowly), so the rescans have a thread of their own rather than a frame now and then.
struct Rescanner {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread{[this] {
        std::unique_lock<std::mutex> hold(mutex);
        while (!wake.wait_for(hold, std::chrono::milliseconds(MidiRescanMs),
                              [this] { return stopping; }))
            midi_in_rescan();
    }};
    ~Rescanner() {
        {
            std::lock_guard<std::mutex> hold(mutex);
            stopping = true;
        }
        wake.notify_one();
        thread.join();
    }
};
std::unique_ptr<Rescanner> Ports;

void note_change(const char *name, void *now_ms) {
    rebuild_debounce_note(Debounce, name, *static_cast<uint32_t *>(now_ms));
}

} // namespace

void studio_session_prepare() {
    ProgramBuildHook = build_keeping;
}

void studio_session_start(const char *tuning_file, const char *data_dir, int pickup) {
    Saver = std::make_unique<TuningSaver>(Tuning, tuning_file);
    file_watch_start(data_dir);
    Pickup = pickup != 0;
    if (Pickup) soft_takeover_start(Tuning);
    Ports = std::make_unique<Rescanner>();
}

void studio_session_frame(uint32_t now_ms) {
    file_watch_poll(note_change, &now_ms);
    if (!rebuild_debounce_due(Debounce, now_ms)) return;
    build_keeping();
    // The save-to-program figure, for whoever tunes from a terminal (and the benchmark).
    char line[80];
    std::snprintf(line, sizeof line, "studio: rebuilt %u ms after the save\n",
                  static_cast<unsigned>(timer_ms() - Debounce.first_ms));
    console_write(line, CONSOLE_NOTE);
}

const char *studio_session_notes() {
    std::string notes;
    if (Saver && !Saver->status().empty()) notes += Saver->status() + "\n";
    if (*BuildFailure) notes += std::string(BuildFailure) + "\n";
    std::string waiting;
    for (int controller = 0; Pickup && controller < ControllerCount; ++controller)
        if (soft_takeover_waiting(controller)) waiting += " " + std::to_string(controller);
    if (!waiting.empty()) notes += "waiting for pickup:" + waiting + "\n";
    // The overlay's lines are 40 characters wide.
    std::string wrapped;
    for (std::size_t start = 0, end; start < notes.size(); start = end + 1) {
        end = notes.find('\n', start);
        for (std::size_t at = start; at < end; at += 40)
            wrapped += notes.substr(at, at + 40 < end ? 40 : end - at) + "\n";
    }
    std::snprintf(Notes, sizeof Notes, "%s", wrapped.c_str());
    return Notes;
}

void studio_session_end() {
    Ports.reset(); // before the bank closes the devices
    if (Pickup) soft_takeover_stop(Tuning);
    file_watch_stop();
    Saver.reset();
    ProgramBuildHook = build_programs;
}
