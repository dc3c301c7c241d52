// The exported line from any bank (touched flags of any byte, values of any bit pattern: NaN,
// infinities, negatives, huge) into buffers of any size: never a byte past the buffer, always
// terminated, and only whole entries: the line is the longest run of the full line's entries that
// fits, each entry being one touched controller, in ascending order.
#include "fuzz_check.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Room for every entry whatever the values: no entry is longer than 64 characters.
constexpr std::size_t FullLineSize = ControllerCount * 64 + 1;
constexpr std::size_t BytesPerController = 1 + sizeof(float);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Two bytes choose the buffer size, then a touched byte and a float's bits per controller.
    if (size < 2) return 0;
    const std::size_t buffer_size = (data[0] | (data[1] << 8)) % (TunedValuesLineSize + 64);
    data += 2;
    size -= 2;
    TuningBank bank(TuningBank::no_devices);
    for (int c = 0; c < ControllerCount && size >= BytesPerController; ++c) {
        bank.touched[c] = data[0];
        std::memcpy(&bank.values[c], data + 1, sizeof(float));
        data += BytesPerController;
        size -= BytesPerController;
    }

    static char full[FullLineSize];
    const std::size_t full_length = format_tuned_values(bank, full, sizeof full);
    FUZZ_CHECK(full_length == std::strlen(full), "full line length %zu", full_length);
    int previous = -1;
    for (const char *entry = full; *entry;) {
        const char *end = std::strchr(entry, ' ');
        FUZZ_CHECK(end, "every entry ends in a space: '%s'", entry);
        char *colon = nullptr;
        const long controller = std::strtol(entry, &colon, 10);
        FUZZ_CHECK(colon != entry && *colon == ':', "entry '%.*s' starts with its controller",
                   static_cast<int>(end - entry), entry);
        FUZZ_CHECK(controller > previous && controller < ControllerCount &&
                       bank.is_touched(static_cast<int>(controller)),
                   "controller %ld after %d", controller, previous);
        for (int skipped = previous + 1; skipped < controller; ++skipped)
            FUZZ_CHECK(!bank.is_touched(skipped), "touched controller %d left out", skipped);
        previous = static_cast<int>(controller);
        entry = end + 1;
    }
    for (int c = previous + 1; c < ControllerCount; ++c)
        FUZZ_CHECK(!bank.is_touched(c), "touched controller %d left out at the end", c);

    // Exactly buffer_size bytes on the heap (none at all for 0): the address sanitizer sees any
    // byte written past them.
    std::unique_ptr<char[]> line(new char[buffer_size]);
    const std::size_t length = format_tuned_values(bank, line.get(), buffer_size);
    if (buffer_size == 0) {
        FUZZ_CHECK(length == 0, "nothing fits in no buffer, got %zu", length);
        return 0;
    }
    FUZZ_CHECK(length < buffer_size && line[length] == 0 && std::strlen(line.get()) == length,
               "terminated at %zu in %zu", length, buffer_size);
    FUZZ_CHECK(std::memcmp(line.get(), full, length) == 0, "the line starts the full line");
    FUZZ_CHECK(length == 0 || full[length - 1] == ' ', "'%s' ends on a whole entry", line.get());
    if (length < full_length) {
        const std::size_t next = std::strchr(full + length, ' ') + 1 - (full + length);
        FUZZ_CHECK(length + next >= buffer_size, "the next entry (%zu) fits %zu + %zu < %zu", next,
                   length, next, buffer_size);
    }
    return 0;
}
