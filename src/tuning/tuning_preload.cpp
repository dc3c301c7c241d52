// The tuning bank preloaded from a line or a file, through the one parser of the exported line.
#include "tuning/tuning_preload.h"

#include "tuning/tuning_bank.h"
#include "tuning/tuning_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Far above the longest line the export writes: anything larger is not a tuning file.
constexpr std::size_t MaxTuningFileSize = 64 * 1024;

} // namespace

bool preload_tuning_line(TuningBank &bank, std::string_view line, std::string &error) {
    std::vector<TuningEntry> entries;
    if (!parse_tuning_line(line, entries, error)) return false;
    // 0xB0: a control change, as the knobs send it.
    for (const TuningEntry &entry : entries)
        bank.receive(0xB0, static_cast<unsigned char>(entry.controller),
                     static_cast<unsigned char>(entry.data));
    return true;
}

TuningFileOutcome preload_tuning_file(TuningBank &bank, const char *path, std::string &error) {
    const std::string named = std::string("tuning file '") + path + "': ";
    errno = 0;
    std::FILE *file = std::fopen(path, "rb");
    if (!file) {
        if (errno == ENOENT) return TuningFileOutcome::missing;
        error = named + "cannot be opened: " + std::strerror(errno);
        return TuningFileOutcome::failed;
    }
    std::string text(MaxTuningFileSize + 1, '\0');
    errno = 0;
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const int read_error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (read_error || text.size() > MaxTuningFileSize) {
        error = named + (read_error ? std::string("cannot be read: ") + std::strerror(read_error)
                                    : std::string("too large for a tuning line"));
        return TuningFileOutcome::failed;
    }
    if (!preload_tuning_line(bank, text, error)) {
        error = named + error;
        return TuningFileOutcome::failed;
    }
    return TuningFileOutcome::preloaded;
}
