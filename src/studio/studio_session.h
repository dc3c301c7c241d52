// The studio's session kept alive: the tuning saved to its file, the shaders rebuilt when saved
// (a failure reported, never a box), MIDI ports that come and go, and soft takeover.
#pragma once
#include "gfx/programs.h"
#include "studio/periodic_thread.h"
#include "studio/rebuild_debounce.h"
#include "studio/soft_takeover.h"
#include "studio/tuning_saver.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The studio's tuning file when no --tuning-file is given, in the working directory.
constexpr char StudioTuningFile[] = "tuning.txt";
// How often the MIDI ports are listed again: a port plugged in is heard within this.
constexpr uint32_t MidiRescanMs = 1000;
// The session's notes for the overlay, with the terminator.
constexpr std::size_t StudioNotesSize = 1024;

struct StudioSession {
    std::unique_ptr<TuningSaver> saver;
    RebuildDebounce debounce;
    bool pickup = false;
    SoftTakeover takeover;                         // with pickup
    char build_failure[ShaderPathSize + 600] = ""; // file:line: message, empty when all build
    char notes[StudioNotesSize] = "";
    // Listing the ports costs milliseconds when no JACK server runs (each try to reach one fails
    // slowly), so the rescans have a thread of their own rather than a frame now and then.
    std::unique_ptr<PeriodicThread> rescans;
};

// Before demo_open: the programs are built the studio's way from the start and on y/Y/p, so a
// compile error is reported instead of shown in a box (the build switch carries the session). The
// session must outlive studio_session_end.
void studio_session_prepare(StudioSession &session);
// After demo_open: saves the tuning to tuning_file from the next change on, watches data_dir's
// shaders, rescans the MIDI ports on a thread of its own, and with pickup makes the preloaded
// controllers wait for their knobs. In the browser it starts no thread: the page keeps the tuning
// and Web MIDI tells of its ports.
void studio_session_start(StudioSession &session, const char *tuning_file, const char *data_dir,
                          int pickup);
// Once a frame: a settled save rebuilds the programs.
void studio_session_frame(StudioSession &session, uint32_t now_ms);
// The overlay's lines about the session, each ending in a line end and at most OverlayColumns
// characters before it (longer ones are wrapped), in session.notes; empty when all is well: why
// the tuning is not saved, the first shader that failed (file:line: message), the controllers
// waiting for their knobs.
const char *studio_session_notes(StudioSession &session);
// Saves the last change, stops the saving thread, the rescans, the watch and the filter, and
// switches the plain build back in. Also right after studio_session_prepare, when demo_open failed.
void studio_session_end(StudioSession &session);
