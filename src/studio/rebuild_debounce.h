// One rebuild for an editor's save, however many writes, creations and renames it makes.
#pragma once
#include <cstdint>

// A save's writes and renames come closer together than this; the rebuild follows the last.
constexpr uint32_t RebuildQuietMs = 60;
// Changes that keep coming (a file copied slowly) still rebuild this long after the first.
constexpr uint32_t RebuildLatestMs = 250;

struct RebuildDebounce {
    bool pending = false;
    uint32_t first_ms = 0;
    uint32_t last_ms = 0;
};

// True for the base name of a file the programs are built from, and for "" (the watch lost
// count); an editor's swap, backup and probe files are not.
bool is_program_source_name(const char *name);
// A change reported by the folder watch at now_ms (the millisecond timer); other names are
// ignored.
void rebuild_debounce_note(RebuildDebounce &debounce, const char *name, uint32_t now_ms);
// True once per burst of changes, when it has settled: RebuildQuietMs without a change, or
// RebuildLatestMs after its first.
bool rebuild_debounce_due(RebuildDebounce &debounce, uint32_t now_ms);
