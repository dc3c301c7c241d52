// MIDI input (platform/midi_in.h) on Linux through RtMidi: the ALSA sequencer's input ports, then
// JACK's when a JACK server runs, one RtMidiIn per port.
// [x] every port, ALSA first, then JACK, at most 32 in all, never our own
// [x] each device delivers as soon as it is open
// [x] no sequencer, no JACK server, no ports: zero devices, silent, JACK never started
// [x] sysex dropped; clock and active sensing delivered as short messages
// [x] no callback after midi_in_close_all returns
// [x] a rescan opens the ports that appeared and closes those that are gone, known by name
// [ ] a port gone and back under the same name between two rescans stays unheard
#include "platform/midi_in.h"

const bool MidiInFollowsDevices = false;
#include <RtMidi.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr unsigned MaxInputs = 32;
// A JACK port's full name fits (client 64, port 256); a longer one is kept and compared cut.
constexpr std::size_t NameSize = 384;
// Our own ports start with this name; they are skipped when listing.
constexpr char ClientName[] = "avada kedabra";

// The tuning bank opens the ports during static initialisation, from another file: everything here
// is constant-initialised, so that no initialiser of ours runs after it and undoes its work.
// Slot i is free when Inputs[i] is null; Names[i] is its port's name, Apis[i] its API.
RtMidiIn *Inputs[MaxInputs];
char Names[MaxInputs][NameSize];
RtMidi::Api Apis[MaxInputs];
// Read on the device's thread, which JACK starts before the port is opened and the handler set.
std::atomic<MidiShortMessageHandler> Handlers[MaxInputs];
unsigned InputCount;
// What midi_in_open_all was given, for the rescans, and the objects that list ports for them.
MidiShortMessageHandler OpenHandler;
unsigned OpenLimit;
RtMidiIn *Listers[2];

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
    std::ios_base::Init streams; // this may run before this file's own stream initialiser
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

// Opens the port through input into a free slot; false (input untouched) when it does not open.
bool open_port(RtMidiIn *input, RtMidi::Api api, unsigned port, const std::string &name,
               MidiShortMessageHandler handler) {
    unsigned slot = 0;
    while (Inputs[slot]) ++slot; // the callers keep InputCount below MaxInputs
    Handlers[slot].store(handler, std::memory_order_release);
    input->ignoreTypes(true, false, false);
    input->setCallback(deliver, &Handlers[slot]);
    input->openPort(port, "tuning");
    if (!input->isPortOpen()) {
        input->cancelCallback();
        return false;
    }
    Inputs[slot] = input;
    std::snprintf(Names[slot], NameSize, "%s", name.c_str());
    Apis[slot] = api;
    ++InputCount;
    return true;
}

void open_api(RtMidi::Api api, MidiShortMessageHandler handler, unsigned max_devices) {
    // The object that lists the ports also opens the first one: one client less per API.
    RtMidiIn *lister = make_input(api);
    if (!lister) return;
    bool lister_used = false;
    const unsigned count = lister->getPortCount();
    for (unsigned port = 0; port < count && InputCount < max_devices; ++port) {
        const std::string name = lister->getPortName(port);
        if (is_own_port(name)) continue;
        RtMidiIn *input = lister_used ? make_input(api) : lister;
        if (!input) break;
        if (!open_port(input, api, port, name, handler)) {
            if (input != lister) delete input;
            continue;
        }
        lister_used = lister_used || input == lister;
    }
    if (!lister_used) delete lister;
}

bool same_name(const std::string &listed, const char *kept) {
    return std::strncmp(listed.c_str(), kept, NameSize - 1) == 0;
}

bool is_open(RtMidi::Api api, const std::string &name) {
    for (unsigned slot = 0; slot < MaxInputs; ++slot)
        if (Inputs[slot] && Apis[slot] == api && same_name(name, Names[slot])) return true;
    return false;
}

// Closes this API's inputs whose ports are no longer listed, then opens the new ones.
void rescan_api(RtMidi::Api api, RtMidiIn *&lister) {
    if (!lister) lister = make_input(api);
    if (!lister) return;
    std::vector<std::string> listed;
    const unsigned count = lister->getPortCount();
    for (unsigned port = 0; port < count; ++port) listed.push_back(lister->getPortName(port));
    for (unsigned slot = 0; slot < MaxInputs; ++slot) {
        if (!Inputs[slot] || Apis[slot] != api) continue;
        bool present = false;
        for (const std::string &name : listed) present = present || same_name(name, Names[slot]);
        if (present) continue;
        delete Inputs[slot]; // no callback of it runs from here on
        Inputs[slot] = nullptr;
        --InputCount;
    }
    for (unsigned port = 0; port < listed.size() && InputCount < OpenLimit; ++port) {
        if (listed[port].empty() || is_own_port(listed[port]) || is_open(api, listed[port]))
            continue;
        RtMidiIn *input = make_input(api);
        if (input && !open_port(input, api, port, listed[port], OpenHandler)) delete input;
    }
}

} // namespace

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    const unsigned before = InputCount;
    const unsigned limit = before + (max_devices < MaxInputs ? max_devices : MaxInputs);
    const unsigned cap = limit < MaxInputs ? limit : MaxInputs;
    OpenHandler = handler;
    OpenLimit = cap;
    silence_jack();
    // Without the device node alsa-lib would complain on stderr.
    if (access("/dev/snd/seq", R_OK | W_OK) == 0) open_api(RtMidi::LINUX_ALSA, handler, cap);
    open_api(RtMidi::UNIX_JACK, handler, cap);
    return InputCount - before;
}

unsigned midi_in_rescan() {
    if (!OpenHandler) return 0;
    if (access("/dev/snd/seq", R_OK | W_OK) == 0) rescan_api(RtMidi::LINUX_ALSA, Listers[0]);
    rescan_api(RtMidi::UNIX_JACK, Listers[1]);
    return InputCount;
}

void midi_in_close_all() {
    // Deleting an RtMidiIn closes its port and joins (ALSA) or deactivates (JACK) its thread.
    for (unsigned i = 0; i < MaxInputs; ++i) {
        delete Inputs[i];
        Inputs[i] = nullptr;
    }
    for (RtMidiIn *&lister : Listers) {
        delete lister;
        lister = nullptr;
    }
    InputCount = 0;
    OpenHandler = nullptr;
}
