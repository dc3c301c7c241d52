// The credits image reader on any file: 18 header bytes skipped, then at most one 1024 x 1024
// BGRA image copied in, the rest of the buffer as it was, whatever the file holds or lacks.
#include "fuzz_check.h"
#include "gfx/textures.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {
constexpr unsigned char Untouched = 0xA5;
constexpr std::size_t HeaderBytes = 18;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static ScratchFile file;
    // Heap buffers of the exact size, so a write past the end is caught by the address sanitizer.
    static std::vector<unsigned char> pixels(CreditsPixelBytes);
    static const std::vector<unsigned char> untouched(CreditsPixelBytes, Untouched);
    file.write(data, size);
    std::memset(pixels.data(), Untouched, pixels.size());

    FUZZ_CHECK(read_credits_image(file.path(), pixels.data()) == 1, "an existing file is read");

    std::size_t copied = 0;
    if (size > HeaderBytes) copied = size - HeaderBytes;
    if (copied > pixels.size()) copied = pixels.size();
    FUZZ_CHECK(copied == 0 || std::memcmp(pixels.data(), data + HeaderBytes, copied) == 0,
               "the %zu bytes behind the header land at the start of the buffer", copied);
    FUZZ_CHECK(std::memcmp(pixels.data() + copied, untouched.data(), pixels.size() - copied) == 0,
               "a file of %zu bytes leaves the buffer behind byte %zu alone", size, copied);
    return 0;
}
