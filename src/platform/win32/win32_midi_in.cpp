// MIDI input over winmm.
//   [x] every input device, at most 32, each opened with a callback and started once set up
//   [x] one 1,024-byte buffer lent per device (queued once, never read)
//   [x] short messages (MIM_DATA) unpacked into status, data1, data2; every other event ignored
//   [x] no device: nothing opened, silently; failed calls ignored device by device
//   [x] a rescan knows devices by name, maker and product, since their numbers shift when one is
//       plugged or unplugged: it opens the new ones and closes those that are gone
#include "platform/midi_in.h"
#include "platform/win32/win32_internals.h"

#include <atomic>
#include <cstdio>
#include <cstring>

constexpr unsigned MaxDevices = 32;
constexpr DWORD BufferSize = 1024;
// Devices listed by a rescan; more than this on one machine go unseen.
constexpr unsigned MaxListed = 64;
constexpr int IdentitySize = MAXPNAMELEN + 16;

// Slot i is in use when Handles[i] is set.
static HMIDIIN Handles[MaxDevices];
static MIDIHDR Headers[MaxDevices];
static char Buffers[MaxDevices][BufferSize];
static char Identities[MaxDevices][IdentitySize];
static unsigned DeviceCount = 0;
static unsigned DeviceLimit = 0;
// Read on winmm's thread, written on the main thread while devices are closed or not yet open.
static std::atomic<MidiShortMessageHandler> Handler{nullptr};

void CALLBACK midi_in_callback(HMIDIIN, UINT event, DWORD_PTR, DWORD_PTR packed, DWORD_PTR) {
    if (event != MIM_DATA) return;
    MidiShortMessageHandler handler = Handler.load();
    if (!handler) return;
    handler(static_cast<unsigned char>(packed & 0xFF), static_cast<unsigned char>(packed >> 8),
            static_cast<unsigned char>(packed >> 16));
}

static bool identify(unsigned device, char (&identity)[IdentitySize]) {
    MIDIINCAPSA caps{};
    if (midiInGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    std::snprintf(identity, sizeof identity, "%.*s|%u|%u", MAXPNAMELEN, caps.szPname,
                  static_cast<unsigned>(caps.wMid), static_cast<unsigned>(caps.wPid));
    return true;
}

// Opens device number `device` into a free slot; a device that fails somewhere along here just
// never delivers (and a rescan tries it again).
static void open_device(unsigned device, const char *identity) {
    unsigned slot = 0;
    while (Handles[slot]) ++slot; // the callers keep DeviceCount below MaxDevices
    if (midiInOpen(&Handles[slot], device, reinterpret_cast<DWORD_PTR>(&midi_in_callback), 0,
                   CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
        Handles[slot] = nullptr;
        return;
    }
    std::snprintf(Identities[slot], IdentitySize, "%s", identity);
    ++DeviceCount;
    Headers[slot] = MIDIHDR{};
    Headers[slot].lpData = Buffers[slot];
    Headers[slot].dwBufferLength = BufferSize;
    midiInPrepareHeader(Handles[slot], &Headers[slot], sizeof(MIDIHDR));
    midiInAddBuffer(Handles[slot], &Headers[slot], sizeof(MIDIHDR));
    midiInStart(Handles[slot]);
}

// Reset hands the buffer back; after midiInClose no callback runs for that device.
static void close_slot(unsigned slot) {
    midiInReset(Handles[slot]);
    midiInStop(Handles[slot]);
    midiInClose(Handles[slot]);
    Handles[slot] = nullptr;
    --DeviceCount;
}

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    Handler.store(handler);
    DeviceLimit = max_devices < MaxDevices ? max_devices : MaxDevices;
    const unsigned count = midiInGetNumDevs();
    for (unsigned i = 0; i < count && DeviceCount < DeviceLimit; ++i) {
        char identity[IdentitySize] = "";
        identify(i, identity);
        open_device(i, identity);
    }
    return DeviceCount;
}

unsigned midi_in_rescan() {
    if (!Handler.load()) return 0;
    static char listed[MaxListed][IdentitySize];
    bool claimed[MaxListed] = {};
    unsigned count = midiInGetNumDevs();
    if (count > MaxListed) count = MaxListed;
    for (unsigned i = 0; i < count; ++i)
        if (!identify(i, listed[i])) claimed[i] = true; // gone while listing
    // Each open device claims one listed device of its identity; one that finds none is gone.
    for (unsigned slot = 0; slot < MaxDevices; ++slot) {
        if (!Handles[slot]) continue;
        unsigned i = 0;
        while (i < count && (claimed[i] || std::strcmp(listed[i], Identities[slot]) != 0)) ++i;
        if (i < count)
            claimed[i] = true;
        else
            close_slot(slot);
    }
    for (unsigned i = 0; i < count && DeviceCount < DeviceLimit; ++i)
        if (!claimed[i]) open_device(i, listed[i]);
    return DeviceCount;
}

void midi_in_close_all() {
    for (unsigned slot = 0; slot < MaxDevices; ++slot)
        if (Handles[slot]) close_slot(slot);
    Handler.store(nullptr);
}
