// The touched controllers as one line on the clipboard, ready to paste back into the scene scripts.
#include "tuning/tuned_values_export.h"
#include "platform/clipboard.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

std::size_t format_tuned_values(const float values[ControllerCount],
                                const unsigned char touched[ControllerCount], char *line,
                                std::size_t size) {
    std::size_t length = 0;
    if (size > 0) line[0] = '\0';
    for (int controller = 0; controller < ControllerCount; ++controller) {
        if (!touched[controller]) continue;
        const float value = values[controller];
        // The 0.49f constant widened to double: the parenthesised byte then equals the one
        // received.
        // A value may be anything, NaN included (the bank's arrays are public); converting
        // it unclamped would be undefined.
        const double scaled = value * 127.0 + static_cast<double>(0.49f);
        const int byte = std::isnan(scaled)
                             ? 0
                             : static_cast<int>(std::clamp(scaled, -2147483648.0, 2147483647.0));
        char entry[64];
        const int n = std::snprintf(entry, sizeof entry, "%d:%.2f(%d) ", controller,
                                    static_cast<double>(value), byte);
        if (n < 0 || static_cast<std::size_t>(n) >= sizeof entry) break;
        if (length + static_cast<std::size_t>(n) >= size) break; // keep room for the terminator
        std::memcpy(line + length, entry, static_cast<std::size_t>(n) + 1);
        length += static_cast<std::size_t>(n);
    }
    return length;
}

void export_tuned_values(const float values[ControllerCount],
                         const unsigned char touched[ControllerCount]) {
    char line[TunedValuesLineSize];
    format_tuned_values(values, touched, line, sizeof line);
    copy_to_clipboard(line); // nowhere to report a failure at exit
}
