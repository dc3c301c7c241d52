// Settling the folder watch's reports into rebuilds.
#include "studio/rebuild_debounce.h"

#include "gfx/programs.h"

#include <cstring>

bool is_program_source_name(const char *name) {
    if (!*name) return true;
    for (const char *path : SceneShaderFiles) {
        const char *slash = std::strrchr(path, '/');
        if (std::strcmp(slash ? slash + 1 : path, name) == 0) return true;
    }
    return false;
}

void rebuild_debounce_note(RebuildDebounce &debounce, const char *name, uint32_t now_ms) {
    if (!is_program_source_name(name)) return;
    if (!debounce.pending) debounce.first_ms = now_ms;
    debounce.pending = true;
    debounce.last_ms = now_ms;
}

bool rebuild_debounce_due(RebuildDebounce &debounce, uint32_t now_ms) {
    if (!debounce.pending) return false;
    // Unsigned differences: right across the timer's wrap-around too.
    if (now_ms - debounce.last_ms < RebuildQuietMs && now_ms - debounce.first_ms < RebuildLatestMs)
        return false;
    debounce.pending = false;
    return true;
}
