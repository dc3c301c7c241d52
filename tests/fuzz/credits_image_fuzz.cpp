// The credits image reader on any file: 18 header bytes skipped, then at most one 1024 x 1024
// BGRA image copied in, the rest of the buffer as it was, whatever the file holds or lacks.
#include "fuzz_check.h"
#include "gfx/textures.h"

#include <algorithm>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // A heap buffer of the exact size, so a write past the end is caught by the address
    // sanitizer. Only the part a file can reach plus a margin, and the last page, are refilled and
    // checked each time: 4 MB per input would leave little time for inputs.
    static std::vector<unsigned char> pixels(CreditsPixelBytes, 0xA5);
    const size_t copied = std::min(size > 18 ? size - 18 : 0, pixels.size()), margin = 4096;
    const size_t checked = std::min(pixels.size(), copied + margin);
    FUZZ_CHECK(read_credits_image(scratch_file(data, size), pixels.data()) == 1);
    FUZZ_CHECK(copied == 0 || std::memcmp(pixels.data(), data + 18, copied) == 0);
    for (size_t i = copied; i < checked; ++i) FUZZ_CHECK(pixels[i] == 0xA5);
    for (size_t i = std::max(copied, pixels.size() - margin); i < pixels.size(); ++i)
        FUZZ_CHECK(pixels[i] == 0xA5);
    std::memset(pixels.data(), 0xA5, checked);
    return 0;
}
