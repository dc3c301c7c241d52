// MIDI input against a recording fake of winmm's midiIn* calls (the import pointers below are
// ours, so the layer calls the fake): the calls made for every device at start, 40 of them with
// one failing to open; rescans that keep the devices open at start when the numbers shift; and
// what winmm's callback hands on.
#include "check.h"
#include "platform/midi_in.h"
#include "platform/win32/win32_internals.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct {
    std::vector<unsigned> plugged; // each device number's original number
    unsigned failing = ~0u;        // an original number whose midiInOpen fails
    std::string calls;
    std::set<const void *> buffers;
    const MIDIHDR *prepared = nullptr;
} Fake;

// A handle names its device's original number, so that it outlives a shift of the numbers.
HMIDIIN handle_of(unsigned original) {
    return reinterpret_cast<HMIDIIN>(static_cast<UINT_PTR>(0x10000 + 16 * original));
}
std::string name(HMIDIIN handle) {
    const UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
    return value ? "h" + std::to_string((value - 0x10000) / 16) : "null";
}
void record(const std::string &call) {
    Fake.calls += call + " ";
}

UINT WINAPI fake_count() {
    record("count");
    return static_cast<UINT>(Fake.plugged.size());
}
MMRESULT WINAPI fake_open(LPHMIDIIN handle, UINT device, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags) {
    const bool as_told = callback == reinterpret_cast<DWORD_PTR>(&midi_in_callback) &&
                         instance == 0 && flags == CALLBACK_FUNCTION;
    record("open" + std::string(as_told ? " " : "(odd) ") + std::to_string(device));
    *handle = nullptr; // as winmm does on failure
    if (device >= Fake.plugged.size() || Fake.plugged[device] == Fake.failing)
        return MMSYSERR_ALLOCATED;
    *handle = handle_of(Fake.plugged[device]);
    return MMSYSERR_NOERROR;
}
// The header lent: its own 1,024-byte buffer, flags 0, every other field 0.
MMRESULT WINAPI fake_prepare(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    const MIDIHDR &h = *header;
    const bool as_told = size == sizeof(MIDIHDR) && h.lpData && h.dwBufferLength == 1024 &&
                         h.dwBytesRecorded == 0 && h.dwUser == 0 && h.dwFlags == 0 && !h.lpNext &&
                         h.reserved == 0 && h.dwOffset == 0 &&
                         std::all_of(std::begin(h.dwReserved), std::end(h.dwReserved),
                                     [](DWORD_PTR word) { return word == 0; }) &&
                         Fake.buffers.insert(h.lpData).second;
    Fake.prepared = header;
    record("prepare" + std::string(as_told ? " " : "(odd) ") + name(handle));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fake_add(HMIDIIN handle, LPMIDIHDR header, UINT size) {
    const bool as_told = header == Fake.prepared && size == sizeof(MIDIHDR);
    record("add" + std::string(as_told ? " " : "(odd) ") + name(handle));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fake_start(HMIDIIN handle) {
    record("start " + name(handle));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fake_reset(HMIDIIN handle) {
    record("reset " + name(handle));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fake_stop(HMIDIIN handle) {
    record("stop " + name(handle));
    return MMSYSERR_NOERROR;
}
MMRESULT WINAPI fake_close(HMIDIIN handle) {
    record("close " + name(handle));
    return MMSYSERR_NOERROR;
}
// By number (below 0x10000) or by an open device's handle.
MMRESULT WINAPI fake_caps(UINT_PTR device, LPMIDIINCAPSA caps, UINT size) {
    unsigned original = 0;
    bool found = false;
    if (device >= 0x10000) {
        record("caps " + name(reinterpret_cast<HMIDIIN>(device)));
        original = static_cast<unsigned>((device - 0x10000) / 16);
        for (unsigned plugged : Fake.plugged) found = found || plugged == original;
    } else {
        record("caps #" + std::to_string(device));
        found = device < Fake.plugged.size();
        if (found) original = Fake.plugged[device];
    }
    if (!found || size != sizeof(MIDIINCAPSA)) return MMSYSERR_BADDEVICEID;
    *caps = MIDIINCAPSA{};
    caps->wMid = 1;
    std::snprintf(caps->szPname, sizeof caps->szPname, "keys %u", original);
    return MMSYSERR_NOERROR;
}

// Only the closing calls of a transcript.
std::string closings(const std::string &calls) {
    std::istringstream words(calls);
    std::string kept, word, handle;
    while (words >> word)
        if ((word == "reset" || word == "stop" || word == "close") && words >> handle)
            kept += word + " " + handle + " ";
    return kept;
}

void plug(unsigned devices, unsigned failing) {
    Fake.plugged.clear();
    for (unsigned i = 0; i < devices; ++i) Fake.plugged.push_back(i);
    Fake.failing = failing;
    Fake.calls.clear();
    Fake.buffers.clear();
}

} // namespace

extern "C" {
decltype(&midiInGetNumDevs) __imp_midiInGetNumDevs = fake_count;
decltype(&midiInOpen) __imp_midiInOpen = fake_open;
decltype(&midiInPrepareHeader) __imp_midiInPrepareHeader = fake_prepare;
decltype(&midiInAddBuffer) __imp_midiInAddBuffer = fake_add;
decltype(&midiInStart) __imp_midiInStart = fake_start;
decltype(&midiInReset) __imp_midiInReset = fake_reset;
decltype(&midiInStop) __imp_midiInStop = fake_stop;
decltype(&midiInClose) __imp_midiInClose = fake_close;
decltype(&midiInGetDevCapsA) __imp_midiInGetDevCapsA = fake_caps;
}

struct Received {
    int calls;
    unsigned char status, data1, data2;
};
static Received Last;

static void note(unsigned char status, unsigned char data1, unsigned char data2) {
    Last = {Last.calls + 1, status, data1, data2};
}

static bool delivers(UINT event, DWORD_PTR packed, unsigned char status, unsigned char data1,
                     unsigned char data2) {
    Last = {};
    midi_in_callback(nullptr, event, 0, packed, 12345);
    return Last.calls == 1 && Last.status == status && Last.data1 == data1 && Last.data2 == data2;
}

static bool ignores(UINT event, DWORD_PTR packed) {
    Last = {};
    midi_in_callback(nullptr, event, 0, packed, 0);
    return Last.calls == 0;
}

// 40 devices, device 5 failing: devices 0 to 31 each get open, prepare, add and start, in that
// order, before the next; at the end reset, stop and close; nothing else, nothing for 32 up.
static void start_and_end() {
    std::string opening = "count ", closing;
    for (unsigned i = 0; i < 32; ++i) {
        const std::string handle = i == 5 ? "null" : "h" + std::to_string(i);
        opening += "open " + std::to_string(i) + " prepare " + handle + " add " + handle +
                   " start " + handle + " ";
        closing += "reset " + handle + " stop " + handle + " close " + handle + " ";
    }
    plug(40, 5);
    CHECK(midi_in_rescan() == 0); // nothing to rescan before the devices are opened
    CHECK(midi_in_open_all(note, 32) == 32);
    CHECK(Fake.calls == opening);
    Fake.calls.clear();
    midi_in_close_all();
    CHECK(Fake.calls == closing);

    plug(3, 7);
    CHECK(midi_in_open_all(note, 32) == 3);
    midi_in_close_all();
    CHECK(Fake.calls == "count open 0 prepare h0 add h0 start h0 open 1 prepare h1 add h1 start h1 "
                        "open 2 prepare h2 add h2 start h2 reset h0 stop h0 close h0 reset h1 "
                        "stop h1 close h1 reset h2 stop h2 close h2 ");
    plug(0, 0);
    CHECK(midi_in_open_all(note, 32) == 0);
    midi_in_close_all();
    CHECK(Fake.calls == "count ");
}

// Device 2 unplugged before the first rescan: the numbers of 3 up shift down by one, yet only
// device 2 and the one that never opened are closed; the free slots take the next devices.
static void rescans() {
    plug(40, 5);
    midi_in_open_all(note, 32);
    Fake.plugged.erase(Fake.plugged.begin() + 2);
    Fake.calls.clear();
    CHECK(midi_in_rescan() == 32);
    CHECK(closings(Fake.calls) == "reset h2 stop h2 close h2 reset null stop null close null ");
    CHECK(Fake.calls.find("start h32 ") != std::string::npos &&
          Fake.calls.find("start h33 ") != std::string::npos);
    Fake.calls.clear();
    CHECK(midi_in_rescan() == 32); // the same devices: none closed, none opened
    CHECK(closings(Fake.calls).empty() && Fake.calls.find("open") == std::string::npos);
    midi_in_close_all();
}

void midi_checks() {
    CHECK(ignores(MIM_DATA, 0x00407FB0)); // no handler before the devices are opened
    start_and_end();
    rescans();

    plug(1, ~0u);
    midi_in_open_all(note, 32);
    CHECK(delivers(MIM_DATA, 0x007F07B3, 0xB3, 7, 127));     // control change 7, channel 4
    CHECK(delivers(MIM_DATA, 0x00643C90, 0x90, 60, 100));    // note-on, key 60
    CHECK(delivers(MIM_DATA, 0x000005C0, 0xC0, 5, 0));       // program change: two bytes
    CHECK(delivers(MIM_DATA, 0x000000F8, 0xF8, 0, 0));       // timing clock: one byte
    CHECK(delivers(MIM_DATA, 0xAB40FF80, 0x80, 0xFF, 0x40)); // top byte dropped, data kept whole

    // Long messages, opening, closing and errors are not short messages.
    for (UINT event : {MIM_LONGDATA, MIM_OPEN, MIM_CLOSE, MIM_ERROR, MIM_MOREDATA})
        CHECK(ignores(event, 0x00407FB0));

    midi_in_close_all();
    CHECK(ignores(MIM_DATA, 0x00407FB0)); // nothing reaches the handler after close
}
