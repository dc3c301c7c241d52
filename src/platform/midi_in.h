// MIDI input: every input device the machine offers, delivering short messages as three bytes.
#pragma once

// Runs on a thread of the MIDI system's, never on the render thread.
typedef void (*MidiShortMessageHandler)(unsigned char status, unsigned char data1,
                                        unsigned char data2);

// Opens and starts every input device, at most max_devices, each as soon as it is set up.
// Returns how many were opened (winmm counts those that failed to open: they get every call the
// others get). No device, no MIDI system: 0, silently.
unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices);
// Opens the input devices that appeared since, and closes those that are gone, with
// midi_in_open_all's handler, keeping at most its max_devices open. Returns how many are open.
// Called periodically, from one thread at a time, never while the others run; does nothing before
// midi_in_open_all.
unsigned midi_in_rescan();
// Stops and closes them all; no handler call runs after it returns.
void midi_in_close_all();

// Whether devices that come and go are opened and dropped without midi_in_rescan (the browser's
// Web MIDI tells of them); elsewhere the studio rescans periodically.
extern const bool MidiInFollowsDevices;
