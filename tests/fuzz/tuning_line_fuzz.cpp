// The reader of the clipboard line on any text: a failure returns no entries and says
// why; a success returns one entry per blank-separated word, each controller once, every number
// in 0..127, and writing the entries out again as the demo does reads back the same.
#include "fuzz_check.h"
#include "tuning/tuning_line.h"

#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<TuningEntry> entries = {{5, 5}}, reread;
    std::string error, again;
    if (!parse_tuning_line(text, entries, error)) {
        FUZZ_CHECK(entries.empty() && !error.empty());
        return 0;
    }
    auto blank = [&](size_t i) {
        return std::string_view(" \t\r\n").find(text[i]) != std::string_view::npos;
    };
    size_t words = 0;
    for (size_t i = 0; i < size; ++i) words += !blank(i) && (i == 0 || blank(i - 1));
    FUZZ_CHECK(entries.size() == words);
    bool seen[128] = {};
    for (const TuningEntry &e : entries) {
        FUZZ_CHECK(e.controller >= 0 && e.controller < 128 && e.data >= 0 && e.data < 128);
        FUZZ_CHECK(!seen[e.controller]);
        seen[e.controller] = true;
        char written[32];
        std::snprintf(written, sizeof written, "%d:%.2f(%d) ", e.controller,
                      static_cast<double>(static_cast<float>(e.data / 127.0)), e.data);
        again += written;
    }
    FUZZ_CHECK(parse_tuning_line(again, reread, error) && reread.size() == entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        FUZZ_CHECK(reread[i].controller == entries[i].controller &&
                   reread[i].data == entries[i].data);
    return 0;
}
