// Any bytes off the wire into the tuning bank: up to eight bytes, cut into messages of up to three
// (missing bytes are 0, as the MIDI input passes them). A controller is touched exactly when a
// message's first data byte named it and then holds the last second data byte / 127; a first data
// byte past the bank changes nothing. That the exported line reads back as the same bytes is
// tests/capture/parameter_dump_test.cpp's (every controller, every byte) and tuning_line_fuzz's.
#include "fuzz_check.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <algorithm>
#include <cstring>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 8) return 0;
    TuningBank bank(TuningBank::no_devices);
    int last_byte[ControllerCount];
    std::fill(std::begin(last_byte), std::end(last_byte), -1);
    for (size_t at = 0; at < size; at += 3) {
        const uint8_t b1 = at + 1 < size ? data[at + 1] : 0, b2 = at + 2 < size ? data[at + 2] : 0;
        float values[ControllerCount];
        unsigned char touched[ControllerCount];
        std::memcpy(values, bank.values, sizeof values);
        std::memcpy(touched, bank.touched, sizeof touched);
        bank.receive(data[at], b1, b2);
        if (b1 < ControllerCount)
            last_byte[b1] = b2;
        else
            FUZZ_CHECK(!std::memcmp(values, bank.values, sizeof values) &&
                       !std::memcmp(touched, bank.touched, sizeof touched));
    }
    for (int c = 0; c < ControllerCount; ++c) {
        FUZZ_CHECK(bank.is_touched(c) == (last_byte[c] >= 0));
        FUZZ_CHECK(bank.value(c) == (last_byte[c] < 0 ? 0.0f : float(last_byte[c] / 127.0)));
    }
    char line[TunedValuesLineSize];
    FUZZ_CHECK(format_tuned_values(bank, line, sizeof line) == std::strlen(line));
    return 0;
}
