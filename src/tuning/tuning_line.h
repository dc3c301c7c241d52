// The line of tuned controllers the demo leaves on the clipboard (tuned_values_export.h writes
// it), read back.
#pragma once
#include <string>
#include <string_view>
#include <vector>

struct TuningEntry {
    int controller; // 0..127
    int data;       // the MIDI data byte, 0..127
};

// Parses a whole line of "%d:%.2f(%d) " entries. On success fills entries in line order and
// returns true; on the first malformed entry returns false, leaves entries empty and says in error
// which entry is wrong and why. An empty or blank line is a valid line with no entries.
bool parse_tuning_line(std::string_view line, std::vector<TuningEntry> &entries,
                       std::string &error);
