// The exported line from any bank (touched flags of any byte, values of any bit pattern: NaN,
// infinities, negatives, huge) into buffers of any size: never a byte past the buffer, always
// terminated, and only whole entries: the line is the longest run of the full line's entries that
// fits, each entry being one touched controller, in ascending order.
#include "fuzz_check.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Two bytes choose the buffer size, then a touched byte and a float's bits per controller.
    if (size < 2) return 0;
    const size_t buffer_size = (data[0] | (data[1] << 8)) % (TunedValuesLineSize + 64);
    TuningBank bank(TuningBank::no_devices);
    for (size_t c = 0, at = 2; c < ControllerCount && at + 5 <= size; ++c, at += 5) {
        bank.touched[c] = data[at];
        std::memcpy(&bank.values[c], data + at + 1, sizeof(float));
    }
    static char full[ControllerCount * 64 + 1]; // no entry is longer than 64 characters
    const size_t full_length = format_tuned_values(bank, full, sizeof full);
    FUZZ_CHECK(full_length == std::strlen(full));
    int previous = -1;
    for (const char *entry = full; *entry; entry = std::strchr(entry, ' ') + 1) {
        char *colon = nullptr;
        const int c = static_cast<int>(std::strtol(entry, &colon, 10));
        FUZZ_CHECK(std::strchr(entry, ' ') && colon != entry && *colon == ':');
        FUZZ_CHECK(c > previous && c < ControllerCount && bank.is_touched(c));
        while (++previous < c) FUZZ_CHECK(!bank.is_touched(previous));
    }
    while (++previous < ControllerCount) FUZZ_CHECK(!bank.is_touched(previous));

    // Exactly buffer_size bytes on the heap (none at all for 0): the address sanitizer sees any
    // byte written past them.
    std::unique_ptr<char[]> line(new char[buffer_size]);
    const size_t length = format_tuned_values(bank, line.get(), buffer_size);
    FUZZ_CHECK(buffer_size > 0 || length == 0);
    if (buffer_size == 0) return 0;
    FUZZ_CHECK(length < buffer_size && line[length] == 0 && std::strlen(line.get()) == length);
    FUZZ_CHECK(!std::memcmp(line.get(), full, length) && (length == 0 || full[length - 1] == ' '));
    // The next entry would not have fitted.
    FUZZ_CHECK(length == full_length ||
               size_t(std::strchr(full + length, ' ') + 1 - full) >= buffer_size);
    return 0;
}
