// MIDI input in the browser: Web MIDI.
//   [x] every input port, also those plugged in later; a port that goes stops delivering
//   [x] access refused, or no Web MIDI at all: no inputs, silently
//   [x] messages arrive on the page's one thread between frames, never inside one
//   [ ] the count of open ports is known only once the browser has answered: 0 at start
#include "platform/midi_in.h"

const bool MidiInFollowsDevices = true;

#include <emscripten.h>

static MidiShortMessageHandler Handler = nullptr;
static unsigned MaxDevices = 0;

EM_JS(void, web_midi_open, (unsigned max_devices), { Module.webPage.midiOpen(max_devices); });
EM_JS(unsigned, web_midi_count, (), { return Module.webPage.midiCount(); });
EM_JS(void, web_midi_close, (), { Module.webPage.midiClose(); });

// The page calls this for each message of three bytes or fewer (the missing ones are 0).
extern "C" EMSCRIPTEN_KEEPALIVE void web_midi_message(int status, int data1, int data2) {
    if (Handler)
        Handler(static_cast<unsigned char>(status), static_cast<unsigned char>(data1),
                static_cast<unsigned char>(data2));
}

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    Handler = handler;
    MaxDevices = max_devices;
    web_midi_open(max_devices);
    return web_midi_count();
}

unsigned midi_in_rescan() {
    return Handler ? web_midi_count() : 0;
}

void midi_in_close_all() {
    web_midi_close();
    Handler = nullptr;
    (void)MaxDevices;
}
