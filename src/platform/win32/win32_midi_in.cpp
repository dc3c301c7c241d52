// MIDI input over winmm.
//   [x] devices 0 to 31 at most, each opened with a callback, lent one 1,024-byte buffer (queued
//       once, never read) and started before the next; one that fails to open gets the same calls
//       and at exit the same closing calls, and simply delivers nothing
//   [x] short messages (MIM_DATA) unpacked into status, data1, data2; every other event ignored
//   [x] no device: nothing opened, silently; failed calls ignored device by device
//   [x] a rescan knows devices by name, maker and product, since their numbers shift when one is
//       plugged or unplugged: it opens the new ones and closes those that are gone; the devices
//       set up at start are identified by their handles on the first rescan, never before the
//       entry point
#include "platform/midi_in.h"

const bool MidiInFollowsDevices = false;
#include "platform/win32/win32_internals.h"

#include <atomic>
#include <cstdio>
#include <cstring>

constexpr unsigned MaxDevices = 32;
constexpr DWORD BufferSize = 1024;
// Devices listed by a rescan; more than this on one machine go unseen.
constexpr unsigned MaxListed = 64;
constexpr int IdentitySize = MAXPNAMELEN + 16;

// Slot i is in use when Used[i] is set; at start slot i holds device i, opened or not. A slot
// whose identity is empty matches no listed device, so a rescan closes it and tries again.
static HMIDIIN Handles[MaxDevices];
static MIDIHDR Headers[MaxDevices];
static char Buffers[MaxDevices][BufferSize];
static bool Used[MaxDevices];
static char Identities[MaxDevices][IdentitySize];
static bool Opened[MaxDevices];
static bool StartIdentified = false;
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

// By device number or by an open device's handle, which winmm takes in its place.
static bool identify(UINT_PTR device, char (&identity)[IdentitySize]) {
    MIDIINCAPSA caps{};
    if (midiInGetDevCapsA(device, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
    std::snprintf(identity, sizeof identity, "%.*s|%u|%u", MAXPNAMELEN, caps.szPname,
                  static_cast<unsigned>(caps.wMid), static_cast<unsigned>(caps.wPid));
    return true;
}

static void open_slot(unsigned slot, unsigned device) {
    Used[slot] = true;
    ++DeviceCount;
    Opened[slot] =
        midiInOpen(&Handles[slot], device, reinterpret_cast<DWORD_PTR>(&midi_in_callback), 0,
                   CALLBACK_FUNCTION) == MMSYSERR_NOERROR;
}

static void start_slot(unsigned slot) {
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
    Used[slot] = false;
    Opened[slot] = false;
    Identities[slot][0] = '\0';
    --DeviceCount;
}

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    Handler.store(handler);
    DeviceLimit = max_devices < MaxDevices ? max_devices : MaxDevices;
    unsigned count = midiInGetNumDevs();
    if (count > DeviceLimit) count = DeviceLimit;
    // Every slot is free here: this runs once, before any rescan.
    for (unsigned i = 0; i < count; ++i) {
        open_slot(i, i);
        start_slot(i);
    }
    return DeviceCount;
}

unsigned midi_in_rescan() {
    if (!Handler.load()) return 0;
    // Identifying costs a driver query per device: not before the entry point, only once rescans
    // are wanted (the studio). Handles, since the numbers may have shifted since the start.
    for (unsigned slot = 0; !StartIdentified && slot < MaxDevices; ++slot)
        if (Used[slot] && Opened[slot])
            identify(reinterpret_cast<UINT_PTR>(Handles[slot]), Identities[slot]);
    StartIdentified = true;
    static char listed[MaxListed][IdentitySize];
    bool claimed[MaxListed] = {};
    unsigned count = midiInGetNumDevs();
    if (count > MaxListed) count = MaxListed;
    for (unsigned i = 0; i < count; ++i)
        if (!identify(i, listed[i])) claimed[i] = true; // gone while listing
    // Each open device claims one listed device of its identity; one that finds none is gone.
    for (unsigned slot = 0; slot < MaxDevices; ++slot) {
        if (!Used[slot]) continue;
        unsigned i = 0;
        while (i < count && (claimed[i] || std::strcmp(listed[i], Identities[slot]) != 0)) ++i;
        if (i < count)
            claimed[i] = true;
        else
            close_slot(slot);
    }
    // A device that fails to open here takes no slot; the next rescan tries it again.
    for (unsigned i = 0; i < count && DeviceCount < DeviceLimit; ++i) {
        if (claimed[i]) continue;
        unsigned slot = 0;
        while (Used[slot]) ++slot; // DeviceCount is below DeviceLimit
        open_slot(slot, i);
        if (!Opened[slot]) {
            Handles[slot] = nullptr;
            Used[slot] = false;
            --DeviceCount;
            continue;
        }
        std::snprintf(Identities[slot], IdentitySize, "%s", listed[i]);
        start_slot(slot);
    }
    return DeviceCount;
}

void midi_in_close_all() {
    for (unsigned slot = 0; slot < MaxDevices; ++slot)
        if (Used[slot]) close_slot(slot);
    StartIdentified = false;
    Handler.store(nullptr);
}
