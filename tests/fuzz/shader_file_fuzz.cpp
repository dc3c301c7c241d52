// The shader file loader on any bytes of any length into buffers of any size: never past the
// buffer, always terminated, and every byte that fits delivered as it is in the file (NULs too).
#include "fuzz_check.h"
#include "gfx/programs.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The first two bytes choose the capacity (1 to 65536); the rest is the file.
    if (size < 2) return 0;
    const long capacity = 1 + (data[0] | (data[1] << 8)), length = static_cast<long>(size) - 2;
    // Exactly capacity bytes on the heap: one byte more written is an address sanitizer report.
    std::unique_ptr<char[]> text(new char[capacity]);
    std::memset(text.get(), 'x', capacity);
    const long read = read_shader_file(scratch_file(data + 2, size - 2), text.get(), capacity);
    FUZZ_CHECK(read == std::min(length, capacity - 1) && text[read] == 0);
    FUZZ_CHECK(std::memcmp(text.get(), data + 2, read) == 0);
    for (long i = read + 1; i < capacity; ++i) FUZZ_CHECK(text[i] == 'x');
    return 0;
}
