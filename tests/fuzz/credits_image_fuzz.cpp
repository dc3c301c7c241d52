// The credits image reader on any file: 18 header bytes skipped, then at most one 1024 x 1024
// BGRA image copied in, the rest of the buffer as it was, whatever the file holds or lacks.
#include "fuzz_check.h"
#include "gfx/textures.h"

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {
constexpr unsigned char Untouched = 0xA5;
constexpr std::size_t HeaderBytes = 18;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static ScratchFile file;
    // A heap buffer of the exact size, so a write past the end is caught by the address
    // sanitizer. Only the part a file can reach plus a margin is refilled and checked each time,
    // and the last page always: 4 MB per input would leave little time for inputs.
    static std::vector<unsigned char> pixels(CreditsPixelBytes, Untouched);
    constexpr std::size_t Margin = 4096;
    file.write(data, size);

    FUZZ_CHECK(read_credits_image(file.path(), pixels.data()) == 1, "an existing file is read");

    std::size_t copied = 0;
    if (size > HeaderBytes) copied = size - HeaderBytes;
    if (copied > pixels.size()) copied = pixels.size();
    FUZZ_CHECK(copied == 0 || std::memcmp(pixels.data(), data + HeaderBytes, copied) == 0,
               "the %zu bytes behind the header land at the start of the buffer", copied);
    const std::size_t checked = std::min(pixels.size(), copied + Margin);
    for (std::size_t i = copied; i < checked; ++i)
        FUZZ_CHECK(pixels[i] == Untouched, "a file of %zu bytes wrote byte %zu", size, i);
    for (std::size_t i = pixels.size() - Margin; i < pixels.size(); ++i)
        FUZZ_CHECK(i < copied || pixels[i] == Untouched, "a file of %zu bytes wrote byte %zu", size,
                   i);
    std::memset(pixels.data(), Untouched, checked);
    return 0;
}
