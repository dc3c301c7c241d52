// The touched controllers as one line of text, put on the clipboard at exit.
#pragma once
#include "tuning/controllers.h"

#include <cstddef>

// The longest line: 128 entries of "127:1.00(127) " (14 characters) and the terminator.
constexpr std::size_t TunedValuesLineSize = 128 * 14 + 1;

// Writes "%d:%.2f(%d) " for every controller c whose touched[c] is set, in ascending order, with
// values[c]; returns the length. Never writes past size; stops at the last whole entry that fits.
std::size_t format_tuned_values(const float values[ControllerCount],
                                const unsigned char touched[ControllerCount], char *line,
                                std::size_t size);
// Builds the line and hands it to the clipboard; an empty line leaves the clipboard alone.
void export_tuned_values(const float values[ControllerCount],
                         const unsigned char touched[ControllerCount]);
