// The shader file loader on any bytes of any length into buffers of any size: never past the
// buffer, always terminated, and every byte that fits delivered as it is in the file (NULs too).
#include "fuzz_check.h"
#include "gfx/programs.h"

#include <cstdint>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static ScratchFile file;
    // The first two bytes choose the capacity (1 to 65536); the rest is the file.
    if (size < 2) return 0;
    const long capacity = 1 + (data[0] | (data[1] << 8));
    data += 2;
    size -= 2;
    file.write(data, size);

    // Exactly capacity bytes on the heap: one byte more written is an address sanitizer report.
    std::unique_ptr<char[]> text(new char[capacity]);
    std::memset(text.get(), 'x', capacity);
    const long read = read_shader_file(file.path(), text.get(), capacity);

    const long expected =
        static_cast<long>(size) < capacity - 1 ? static_cast<long>(size) : capacity - 1;
    FUZZ_CHECK(read == expected, "read %ld of a %zu-byte file into %ld", read, size, capacity);
    FUZZ_CHECK(text[read] == 0, "terminated behind the %ld bytes read", read);
    FUZZ_CHECK(std::memcmp(text.get(), data, read) == 0, "the bytes arrive unchanged");
    for (long i = read + 1; i < capacity; ++i)
        FUZZ_CHECK(text[i] == 'x', "byte %ld behind the terminator was written", i);
    return 0;
}
