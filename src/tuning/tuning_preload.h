// Preloading the tuning bank from the line the demo leaves on the clipboard, given on the command
// line or kept in a tuning file: each controller touched with its value, as if its message had
// arrived.
#pragma once
#include <string>
#include <string_view>

class TuningBank;

// Applies every entry of the line (parse_tuning_line's grammar) to the bank as a control change,
// all or nothing: on a malformed entry it returns false, applies nothing and names the entry in
// error.
bool preload_tuning_line(TuningBank &bank, std::string_view line, std::string &error);

enum class TuningFileOutcome {
    preloaded, // read and applied (an empty file applies nothing)
    missing,   // no such file: nothing applied, the run starts untuned
    failed,    // exists but cannot be read, or holds a malformed line: nothing applied
};
// Reads the tuning file (the line, a line end after it or not) and preloads the bank from it. On
// failed, error names the file and says why.
TuningFileOutcome preload_tuning_file(TuningBank &bank, const char *path, std::string &error);
