#include "process_times.h"

#include <sys/resource.h>

static double seconds(const timeval &user, const timeval &system) {
    return static_cast<double>(user.tv_sec + system.tv_sec) +
           static_cast<double>(user.tv_usec + system.tv_usec) / 1e6;
}

ProcessTimes process_times() {
    ProcessTimes times;
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) == 0) times.self_s = seconds(usage.ru_utime, usage.ru_stime);
    if (getrusage(RUSAGE_CHILDREN, &usage) == 0)
        times.children_s = seconds(usage.ru_utime, usage.ru_stime);
    return times;
}
