// winmm's callback: what reaches the handler, and when nothing does. Runs without any device.
#include "check.h"
#include "platform/midi_in.h"
#include "platform/win32/win32_internals.h"

#include <initializer_list>

struct Received {
    int calls;
    unsigned char status, data1, data2;
};
static Received Last;

static void record(unsigned char status, unsigned char data1, unsigned char data2) {
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

void midi_checks() {
    CHECK(ignores(MIM_DATA, 0x00407FB0)); // no handler before the devices are opened

    CHECK(midi_in_rescan() == 0); // nothing to rescan before the devices are opened
    unsigned opened = midi_in_open_all(record, 32);
    CHECK(opened <= 32);
    CHECK(midi_in_rescan() == opened); // the same devices: none closed, none opened twice

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
