// The studio's session: the pieces of src/studio put to work on the process-wide bank, the
// program tables and the platform's watch and MIDI input.
#include "studio/studio_session.h"

#include "platform/console.h"
#include "platform/file_watch.h"
#include "platform/midi_in.h"
#include "platform/timer.h"
#include "studio/overlay_text.h"
#include "tuning/tuning_bank.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Every build in the studio: what compiles replaces, what fails keeps its last good program and
// is told on the console (for whoever started the studio from a terminal) and in the overlay.
void build_keeping(void *context) {
    char *const shown = static_cast<StudioSession *>(context)->build_failure;
    ProgramBuildFailure failure;
    const int failed = build_programs_keeping(failure);
    char text[sizeof StudioSession::build_failure] = "";
    if (failed)
        std::snprintf(text, sizeof text, "%s:%d: %s", failure.file, failure.line, failure.message);
    if (std::strcmp(text, shown) == 0) return;
    std::memcpy(shown, text, sizeof text);
    char line[sizeof text + 40];
    std::snprintf(line, sizeof line, "studio: %s\n", failed ? text : "every shader builds again");
    console_write(line, CONSOLE_NOTE);
}

// What a poll of the folder watch reports to.
struct Poll {
    StudioSession &session;
    uint32_t now_ms;
};

void note_change(const char *name, void *poll) {
    Poll &at = *static_cast<Poll *>(poll);
    rebuild_debounce_note(at.session.debounce, name, at.now_ms);
}

} // namespace

void studio_session_prepare(StudioSession &session) {
    ProgramBuildHook = {build_keeping, &session};
}

void studio_session_start(StudioSession &session, const char *tuning_file, const char *data_dir,
                          int pickup) {
    if (WatchedFilesOutlastTheRun)
        session.saver = std::make_unique<TuningSaver>(Tuning, tuning_file);
    file_watch_start(data_dir);
    session.pickup = pickup != 0;
    if (session.pickup) soft_takeover_start(session.takeover, Tuning);
    if (!MidiInFollowsDevices)
        session.rescans = std::make_unique<PeriodicThread>(std::chrono::milliseconds(MidiRescanMs),
                                                           midi_in_rescan);
}

void studio_session_frame(StudioSession &session, uint32_t now_ms) {
    Poll poll = {session, now_ms};
    file_watch_poll(note_change, &poll);
    if (!rebuild_debounce_due(session.debounce, now_ms)) return;
    build_keeping(&session);
    // The save-to-program figure, for whoever tunes from a terminal (and the benchmark).
    char line[80];
    std::snprintf(line, sizeof line, "studio: rebuilt %u ms after the save\n",
                  static_cast<unsigned>(timer_ms() - session.debounce.first_ms));
    console_write(line, CONSOLE_NOTE);
}

const char *studio_session_notes(StudioSession &session) {
    std::string notes;
    if (session.saver && !session.saver->status().empty()) notes += session.saver->status() + "\n";
    if (*session.build_failure) notes += std::string(session.build_failure) + "\n";
    std::string waiting;
    for (int controller = 0; session.pickup && controller < ControllerCount; ++controller)
        if (soft_takeover_waiting(session.takeover, controller))
            waiting += " " + std::to_string(controller);
    if (!waiting.empty()) notes += "waiting for pickup:" + waiting + "\n";
    std::string wrapped;
    for (std::size_t start = 0, end; start < notes.size(); start = end + 1) {
        end = notes.find('\n', start);
        for (std::size_t at = start; at < end; at += OverlayColumns)
            wrapped +=
                notes.substr(at, at + OverlayColumns < end ? OverlayColumns : end - at) + "\n";
    }
    std::snprintf(session.notes, sizeof session.notes, "%s", wrapped.c_str());
    return session.notes;
}

void studio_session_end(StudioSession &session) {
    session.rescans.reset(); // before the bank closes the devices
    if (session.pickup) soft_takeover_stop(session.takeover, Tuning);
    file_watch_stop();
    session.saver.reset();
    ProgramBuildHook = ProgramBuildPlain;
}
