// MIDI input against a recording fake of winmm's midiIn* calls (the import pointers below are
// ours, so the layer calls the fake): the calls made for every device at start, 40 of them with
// one failing to open; rescans that keep the devices open at start when the numbers shift; and
// what winmm's callback hands on.
#include "check.h"
#include "platform/midi_in.h"
#include "platform/win32/win32_internals.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

namespace {

// A handle names its device's original number, so that it outlives a shift of the numbers.
std::string name(HMIDIIN handle) {
    const UINT_PTR value = reinterpret_cast<UINT_PTR>(handle);
    return value ? "h" + std::to_string((value - 0x10000) / 16) : "null";
}

struct Fake {
    static inline std::vector<unsigned> plugged; // each device number's original number
    static inline unsigned failing;              // an original number whose midiInOpen fails
    static inline std::string calls, closings;
    static inline std::set<const void *> buffers; // one lent per device
    static inline const MIDIHDR *prepared;
    static inline bool odd; // a call whose arguments are not as told

    static MMRESULT record(const std::string &call, bool as_told = true) {
        calls += call + " ", odd = odd || !as_told;
        return MMSYSERR_NOERROR;
    }
    static MMRESULT closing(const std::string &call) {
        return closings += call + " ", record(call);
    }
    static UINT WINAPI count() { return record("count"), static_cast<UINT>(plugged.size()); }
    static MMRESULT WINAPI open(LPHMIDIIN handle, UINT device, DWORD_PTR callback,
                                DWORD_PTR instance, DWORD flags) {
        record("open " + std::to_string(device),
               callback == reinterpret_cast<DWORD_PTR>(&midi_in_callback) && instance == 0 &&
                   flags == CALLBACK_FUNCTION);
        const bool fails = device >= plugged.size() || plugged[device] == failing;
        *handle = fails ? nullptr // as winmm does
                        : reinterpret_cast<HMIDIIN>(UINT_PTR{0x10000} + 16 * plugged[device]);
        return fails ? MMSYSERR_ALLOCATED : MMSYSERR_NOERROR;
    }
    // The header lent: its own 1,024-byte buffer, flags 0, every other field 0.
    static MMRESULT WINAPI prepare(HMIDIIN handle, LPMIDIHDR h, UINT size) {
        MIDIHDR expected{};
        expected.lpData = h->lpData, expected.dwBufferLength = 1024;
        prepared = h;
        return record("prepare " + name(handle), size == sizeof(MIDIHDR) &&
                                                     !std::memcmp(h, &expected, sizeof expected) &&
                                                     buffers.insert(h->lpData).second);
    }
    static MMRESULT WINAPI add(HMIDIIN handle, LPMIDIHDR h, UINT size) {
        return record("add " + name(handle), h == prepared && size == sizeof(MIDIHDR));
    }
    static MMRESULT WINAPI start(HMIDIIN handle) { return record("start " + name(handle)); }
    static MMRESULT WINAPI reset(HMIDIIN handle) { return closing("reset " + name(handle)); }
    static MMRESULT WINAPI stop(HMIDIIN handle) { return closing("stop " + name(handle)); }
    static MMRESULT WINAPI close(HMIDIIN handle) { return closing("close " + name(handle)); }
    // By number (below 0x10000) or by an open device's handle.
    static MMRESULT WINAPI caps(UINT_PTR device, LPMIDIINCAPSA caps, UINT) {
        const bool by_handle = device >= 0x10000;
        record("caps");
        const unsigned original = static_cast<unsigned>(by_handle ? (device - 0x10000) / 16
                                                        : device < plugged.size() ? plugged[device]
                                                                                  : ~0u);
        if (std::find(plugged.begin(), plugged.end(), original) == plugged.end())
            return MMSYSERR_BADDEVICEID;
        std::snprintf(caps->szPname, sizeof caps->szPname, "keys %u", original);
        return MMSYSERR_NOERROR;
    }
    static void plug(unsigned devices, unsigned failing_one) {
        plugged.clear();
        for (unsigned i = 0; i < devices; ++i) plugged.push_back(i);
        failing = failing_one, odd = false;
        calls.clear(), closings.clear(), buffers.clear();
    }
};

} // namespace

extern "C" {
decltype(&midiInGetNumDevs) __imp_midiInGetNumDevs = Fake::count;
decltype(&midiInOpen) __imp_midiInOpen = Fake::open;
decltype(&midiInPrepareHeader) __imp_midiInPrepareHeader = Fake::prepare;
decltype(&midiInAddBuffer) __imp_midiInAddBuffer = Fake::add;
decltype(&midiInStart) __imp_midiInStart = Fake::start;
decltype(&midiInReset) __imp_midiInReset = Fake::reset;
decltype(&midiInStop) __imp_midiInStop = Fake::stop;
decltype(&midiInClose) __imp_midiInClose = Fake::close;
decltype(&midiInGetDevCapsA) __imp_midiInGetDevCapsA = Fake::caps;
}

static std::string Heard;
static void note(unsigned char status, unsigned char data1, unsigned char data2) {
    Heard +=
        std::to_string(status) + "," + std::to_string(data1) + "," + std::to_string(data2) + " ";
}
// What the handler hears of one callback.
static std::string heard(UINT event, DWORD_PTR packed) {
    Heard.clear();
    midi_in_callback(nullptr, event, 0, packed, 12345);
    return Heard;
}

// 40 devices, device 5 failing: devices 0 to 31 each get open, prepare, add and start, in that
// order, before the next; at the end reset, stop and close; nothing else, nothing for 32 up.
// Then device 2 is unplugged before the first rescan: the numbers of 3 up shift down by one, yet
// only device 2 and the one that never opened are closed; the free slots take the next devices.
static void start_and_rescans() {
    std::string opening = "count ", closing;
    for (unsigned i = 0; i < 32; ++i) {
        const std::string handle = i == 5 ? "null" : "h" + std::to_string(i);
        opening += "open " + std::to_string(i) + " prepare " + handle + " add " + handle +
                   " start " + handle + " ";
        closing += "reset " + handle + " stop " + handle + " close " + handle + " ";
    }
    Fake::plug(40, 5);
    CHECK(midi_in_rescan() == 0); // nothing to rescan before the devices are opened
    CHECK(midi_in_open_all(note, 32) == 32);
    CHECK(Fake::calls == opening && !Fake::odd);
    midi_in_close_all();
    CHECK(Fake::closings == closing);

    Fake::plug(40, 5);
    midi_in_open_all(note, 32);
    Fake::plugged.erase(Fake::plugged.begin() + 2);
    Fake::calls.clear();
    CHECK(midi_in_rescan() == 32);
    CHECK(Fake::closings == "reset h2 stop h2 close h2 reset null stop null close null ");
    CHECK(Fake::calls.find("start h32 ") != std::string::npos &&
          Fake::calls.find("start h33 ") != std::string::npos);
    Fake::calls.clear(), Fake::closings.clear();
    CHECK(midi_in_rescan() == 32); // the same devices: none closed, none opened
    CHECK(Fake::closings.empty() && Fake::calls.find("open") == std::string::npos);
    midi_in_close_all();
}

void midi_checks() {
    CHECK(heard(MIM_DATA, 0x00407FB0).empty()); // no handler before the devices are opened
    start_and_rescans();

    Fake::plug(1, ~0u);
    midi_in_open_all(note, 32);
    CHECK(heard(MIM_DATA, 0x007F07B3) == "179,7,127 ");  // control change 7, channel 4
    CHECK(heard(MIM_DATA, 0x00643C90) == "144,60,100 "); // note-on, key 60
    CHECK(heard(MIM_DATA, 0x000005C0) == "192,5,0 ");    // program change: two bytes
    CHECK(heard(MIM_DATA, 0x000000F8) == "248,0,0 ");    // timing clock: one byte
    CHECK(heard(MIM_DATA, 0xAB40FF80) == "128,255,64 "); // top byte dropped, data kept whole

    // Long messages, opening, closing and errors are not short messages.
    for (UINT event : {MIM_LONGDATA, MIM_OPEN, MIM_CLOSE, MIM_ERROR, MIM_MOREDATA})
        CHECK(heard(event, 0x00407FB0).empty());

    midi_in_close_all();
    CHECK(heard(MIM_DATA, 0x00407FB0).empty()); // nothing reaches the handler after close
}
