// The reader of the clipboard line on any text: a failure returns no entries and says
// why; a success returns one entry per blank-separated word, each controller once, every number
// in 0..127, and writing the entries out again as the demo does reads back the same.
#include "fuzz_check.h"
#include "tuning/tuning_line.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::size_t count_words(std::string_view text) {
    std::size_t words = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!is_blank(text[i]) && (i == 0 || is_blank(text[i - 1]))) ++words;
    return words;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<TuningEntry> entries = {{5, 5}};
    std::string error;
    if (!parse_tuning_line(text, entries, error)) {
        FUZZ_CHECK(entries.empty(), "a rejected line returns %zu entries", entries.size());
        FUZZ_CHECK(!error.empty(), "a rejected line says why");
        return 0;
    }
    FUZZ_CHECK(entries.size() == count_words(text), "%zu entries from %zu words", entries.size(),
               count_words(text));
    bool seen[128] = {};
    std::string again;
    for (const TuningEntry &entry : entries) {
        FUZZ_CHECK(entry.controller >= 0 && entry.controller < 128, "controller %d",
                   entry.controller);
        FUZZ_CHECK(entry.data >= 0 && entry.data < 128, "data byte %d", entry.data);
        FUZZ_CHECK(!seen[entry.controller], "controller %d twice", entry.controller);
        seen[entry.controller] = true;
        char written[32];
        std::snprintf(written, sizeof written, "%d:%.2f(%d) ", entry.controller,
                      static_cast<double>(static_cast<float>(entry.data / 127.0)), entry.data);
        again += written;
    }
    std::vector<TuningEntry> reread;
    FUZZ_CHECK(parse_tuning_line(again, reread, error), "'%s' reads back: %s", again.c_str(),
               error.c_str());
    FUZZ_CHECK(reread.size() == entries.size(), "'%s' reads back %zu entries", again.c_str(),
               reread.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        FUZZ_CHECK(reread[i].controller == entries[i].controller &&
                       reread[i].data == entries[i].data,
                   "entry %zu of '%s' reads back differently", i, again.c_str());
    return 0;
}
