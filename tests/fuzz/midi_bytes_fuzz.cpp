// Any bytes off the wire into the tuning bank: up to eight bytes, cut into messages of up to three
// (missing bytes are 0, as the MIDI input passes them). A controller is touched exactly when a
// message's first data byte named it and then holds the last second data byte / 127; a first data
// byte of 128 or more changes nothing. That the exported line reads back as the same bytes is
// tests/capture/parameter_dump_test.cpp's (every controller, every byte) and tuning_line_fuzz's.
#include "fuzz_check.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t MaxBytes = 8;
constexpr std::size_t MessageBytes = 3;

struct Snapshot {
    float values[ControllerCount];
    unsigned char touched[ControllerCount];
    explicit Snapshot(const TuningBank &bank) {
        std::memcpy(values, bank.values, sizeof values);
        std::memcpy(touched, bank.touched, sizeof touched);
    }
    bool operator==(const Snapshot &other) const {
        return std::memcmp(values, other.values, sizeof values) == 0 &&
               std::memcmp(touched, other.touched, sizeof touched) == 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > MaxBytes) return 0;
    TuningBank bank(TuningBank::no_devices);
    int last_byte[ControllerCount];
    for (int &byte : last_byte) byte = -1;

    for (std::size_t at = 0; at < size; at += MessageBytes) {
        unsigned char message[MessageBytes] = {};
        for (std::size_t i = 0; i < MessageBytes && at + i < size; ++i) message[i] = data[at + i];
        const Snapshot before(bank);
        bank.receive(message[0], message[1], message[2]);
        if (message[1] >= ControllerCount) {
            FUZZ_CHECK(Snapshot(bank) == before, "controller %d is outside the bank", message[1]);
            continue;
        }
        last_byte[message[1]] = message[2];
    }

    for (int c = 0; c < ControllerCount; ++c) {
        const bool landed = last_byte[c] >= 0;
        FUZZ_CHECK(bank.is_touched(c) == landed, "controller %d touched %d, landed %d", c,
                   bank.is_touched(c), landed);
        const float value = bank.value(c);
        FUZZ_CHECK(value >= 0.0f && value <= 255.0f / 127.0f, "controller %d holds %g", c, value);
        if (landed)
            FUZZ_CHECK(value == static_cast<float>(last_byte[c] / 127.0),
                       "controller %d holds %g, not byte %d", c, value, last_byte[c]);
        else
            FUZZ_CHECK(value == 0.0f, "untouched controller %d holds %g", c, value);
    }

    char line[TunedValuesLineSize];
    const std::size_t length = format_tuned_values(bank, line, sizeof line);
    FUZZ_CHECK(length == std::strlen(line), "length %zu for a line of %zu", length,
               std::strlen(line));
    return 0;
}
