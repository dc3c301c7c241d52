// The studio's session kept alive: the tuning saved to its file, the shaders rebuilt when saved
// (a failure reported, never a box), MIDI ports that come and go, and soft takeover.
#pragma once
#include <cstddef>
#include <cstdint>

// The studio's tuning file when no --tuning-file is given, in the working directory.
constexpr char StudioTuningFile[] = "tuning.txt";
// How often the MIDI ports are listed again: a port plugged in is heard within this.
constexpr uint32_t MidiRescanMs = 1000;

// Before demo_open: the programs are built the studio's way from the start and on y/Y/p, so a
// compile error is reported instead of shown in a box.
void studio_session_prepare();
// After demo_open: saves the tuning to tuning_file from the next change on, watches data_dir's
// shaders, rescans the MIDI ports on a thread of its own, and
// with pickup makes the preloaded controllers wait for their knobs.
void studio_session_start(const char *tuning_file, const char *data_dir, int pickup);
// Once a frame: a settled save rebuilds the programs.
void studio_session_frame(uint32_t now_ms);
// The overlay's lines about the session, each ending in a line end and at most 40 characters
// before it (longer ones are wrapped), at most StudioNotesSize bytes with the terminator; empty
// when all is well: why the tuning is not saved, the first shader that failed (file:line:
// message), the controllers waiting for their knobs.
constexpr std::size_t StudioNotesSize = 1024;
const char *studio_session_notes();
// Saves the last change, stops the saving thread, the watch and the filter.
void studio_session_end();
