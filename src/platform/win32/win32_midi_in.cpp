// MIDI input over winmm.
//   [x] every input device, at most 32, each opened with a callback and started once set up
//   [x] one 1,024-byte buffer lent per device (queued once, never read)
//   [x] short messages (MIM_DATA) unpacked into status, data1, data2; every other event ignored
//   [x] no device: nothing opened, silently; failed calls ignored device by device
#include "platform/midi_in.h"
#include "platform/win32/win32_internals.h"

#include <atomic>

constexpr unsigned MaxDevices = 32;
constexpr DWORD BufferSize = 1024;

static HMIDIIN Handles[MaxDevices];
static MIDIHDR Headers[MaxDevices];
static char Buffers[MaxDevices][BufferSize];
static unsigned DeviceCount = 0;
// Read on winmm's thread, written on the main thread while devices are closed or not yet open.
static std::atomic<MidiShortMessageHandler> Handler{nullptr};

void CALLBACK midi_in_callback(HMIDIIN, UINT event, DWORD_PTR, DWORD_PTR packed, DWORD_PTR) {
    if (event != MIM_DATA) return;
    MidiShortMessageHandler handler = Handler.load();
    if (!handler) return;
    handler(static_cast<unsigned char>(packed & 0xFF), static_cast<unsigned char>(packed >> 8),
            static_cast<unsigned char>(packed >> 16));
}

unsigned midi_in_open_all(MidiShortMessageHandler handler, unsigned max_devices) {
    Handler.store(handler);
    unsigned count = midiInGetNumDevs();
    if (count > max_devices) count = max_devices;
    if (count > MaxDevices) count = MaxDevices;
    DeviceCount = count;
    // A device that fails somewhere along here just never delivers; the others still open.
    for (unsigned i = 0; i < count; ++i) {
        midiInOpen(&Handles[i], i, reinterpret_cast<DWORD_PTR>(&midi_in_callback), 0,
                   CALLBACK_FUNCTION);
        Headers[i] = MIDIHDR{};
        Headers[i].lpData = Buffers[i];
        Headers[i].dwBufferLength = BufferSize;
        midiInPrepareHeader(Handles[i], &Headers[i], sizeof(MIDIHDR));
        midiInAddBuffer(Handles[i], &Headers[i], sizeof(MIDIHDR));
        midiInStart(Handles[i]);
    }
    return count;
}

void midi_in_close_all() {
    // Reset hands the buffer back; after midiInClose no callback runs for that device.
    for (unsigned i = 0; i < DeviceCount; ++i) {
        midiInReset(Handles[i]);
        midiInStop(Handles[i]);
        midiInClose(Handles[i]);
        Handles[i] = nullptr;
    }
    DeviceCount = 0;
    Handler.store(nullptr);
}
