// MIDI input (platform/midi_in.h) on Linux through RtMidi: the ALSA sequencer's input ports, then
// JACK's when a JACK server runs, one RtMidiIn per port.
// [x] every port, ALSA first, then JACK, at most 32 in all, never our own
// [x] each device delivers as soon as it is open
// [x] no sequencer, no JACK server, no ports: zero devices, silent, JACK never started
// [x] sysex dropped; clock and active sensing delivered as short messages
// [x] no callback after midi_in_close_all returns
// [ ] ports that appear after start-up
#include "platform/midi_in.h"
#include <RtMidi.h>
#include <atomic>
#include <dlfcn.h>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned MaxInputs = 32;
// Our own ports start with this name; they are skipped when listing.
constexpr char ClientName[] = "avada kedabra";

RtMidiIn *Inputs[MaxInputs];
// Read on the device's thread, which JACK starts before the port is opened and the handler set.
std::atomic<MidiShortMessageHandler> Handlers[MaxInputs];
unsigned InputCount;

void deliver(double, std::vector<unsigned char> *message, void *user_data) {
    // Sysex is ignored at the source; should any still come through, it is not a short message.
    const std::size_t size = message->size();
    if (size == 0 || size > 3 || message->front() == 0xF0) return;
    const unsigned char *bytes = message->data();
    const MidiShortMessageHandler handler =
        static_cast<std::atomic<MidiShortMessageHandler> *>(user_data)->load(
            std::memory_order_acquire);
    handler(bytes[0], size > 1 ? bytes[1] : 0, size > 2 ? bytes[2] : 0);
}

void ignore_error(RtMidiError::Type, const std::string &, void *) {}
void ignore_jack_message(const char *) {}

// libjack reports a missing server on stderr. We do not link it ourselves: RtMidi brought it in,
// so its hooks are looked up rather than named.
void silence_jack() {
    typedef void (*set_message_function)(void (*)(const char *));
    for (const char *name : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void *symbol = dlsym(RTLD_DEFAULT, name))
            reinterpret_cast<set_message_function>(symbol)(ignore_jack_message);
    }
}

// A failing RtMidi constructor writes to std::cerr before an error callback can be set.
struct QuietCerr {
    std::streambuf *saved = std::cerr.rdbuf(nullptr);
    ~QuietCerr() { std::cerr.rdbuf(saved); }
};

RtMidiIn *make_input(RtMidi::Api api) {
    QuietCerr quiet;
    try {
        RtMidiIn *input = new RtMidiIn(api, ClientName);
        input->setErrorCallback(ignore_error, nullptr);
        return input;
    } catch (const RtMidiError &) {
        return nullptr;
    }
}

bool is_own_port(const std::string &name) {
    return name.compare(0, sizeof ClientName - 1, ClientName) == 0;
}

void open_api(RtMidi::Api api, MidiShortMessageHandler handler, unsigned max_devices) {
    // The object that lists the ports also opens the first one: one client less per API.
    RtMidiIn *lister = make_input(api);
    if (!lister) return;
    bool lister_used = false;
    const unsigned count = lister->getPortCount();
    for (unsigned port = 0; port < count && InputCount < max_devices; ++port) {
        if (is_own_port(lister->getPortName(port))) continue;
        RtMidiIn *input = lister_used ? make_input(api) : lister;
        if (!input) break;
        Handlers[InputCount].store(handler, std::memory_order_release);
        input->ignoreTypes(true, false, false);
        input->setCallback(deliver, &Handlers[InputCount]);
        input->openPort(port, "tuning");
        if (!input->isPortOpen()) {
            if (input != lister) delete input;
            continue;
        }
        lister_used = lister_used || input == lister;
        Inputs[InputCount++] = input;
    }
    if (!lister_used) delete lister;
}

} // namespace

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    const unsigned before = InputCount;
    const unsigned limit = before + (max_devices < MaxInputs ? max_devices : MaxInputs);
    const unsigned cap = limit < MaxInputs ? limit : MaxInputs;
    silence_jack();
    // Without the device node alsa-lib would complain on stderr.
    if (access("/dev/snd/seq", R_OK | W_OK) == 0) open_api(RtMidi::LINUX_ALSA, handler, cap);
    open_api(RtMidi::UNIX_JACK, handler, cap);
    return InputCount - before;
}

void midi_in_close_all() {
    // Deleting an RtMidiIn closes its port and joins (ALSA) or deactivates (JACK) its thread.
    for (unsigned i = 0; i < InputCount; ++i) {
        delete Inputs[i];
        Inputs[i] = nullptr;
    }
    InputCount = 0;
}
