#include "process_times.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

ProcessTimes process_times() {
    ProcessTimes times;
    times.has_children = false; // Windows keeps no total for ended children
    FILETIME created, ended, kernel, user;
    if (GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user)) {
        auto seconds = [](const FILETIME &t) {
            return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                       t.dwLowDateTime) /
                   1e7;
        };
        times.self_s = seconds(kernel) + seconds(user);
    }
    return times;
}
