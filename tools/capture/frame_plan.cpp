#include "frame_plan.h"

#include "app/demo_main.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

static int64_t to_ms(double seconds) {
    return std::llround(seconds * 1000.0);
}

FramePlan plan_fixed_rate(double fps, const FrameRange &range) {
    FramePlan plan;
    bool first_found = false;
    for (long k = 0;; ++k) {
        const int32_t now = frame_time_ms(k, fps);
        if (range.has_to && now > to_ms(range.to_s)) break;
        plan.stamps.push_back(now);
        if (!first_found && (!range.has_from || now >= to_ms(range.from_s))) {
            plan.first_kept = plan.stamps.size() - 1;
            first_found = true;
        }
        if (!range.has_to && now > DemoLengthMs) break;
    }
    if (!first_found) plan.first_kept = plan.stamps.size();
    return plan;
}

FramePlan plan_single_frame(double fps, double at_s) {
    FramePlan plan;
    const long last = frame_nearest(at_s, fps);
    for (long k = 0; k <= last; ++k) plan.stamps.push_back(frame_time_ms(k, fps));
    plan.first_kept = plan.stamps.size() - 1;
    return plan;
}

FramePlan plan_recorded(const std::vector<int32_t> &times, const FrameRange &range) {
    FramePlan plan;
    // Recorded stamps need not rise (a wrapped timer does not), so the range ends at the first
    // stamp past it, not at the largest.
    std::size_t first = times.size();
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (range.has_to && times[i] > to_ms(range.to_s)) break;
        plan.stamps.push_back(times[i]);
        if (first == times.size() && (!range.has_from || times[i] >= to_ms(range.from_s)))
            first = i;
    }
    plan.first_kept = first < plan.stamps.size() ? first : plan.stamps.size();
    return plan;
}

PartSpan part_span(std::size_t kept, int k, int n) {
    const std::size_t index = static_cast<std::size_t>(k), parts = static_cast<std::size_t>(n);
    return {kept * (index - 1) / parts, kept * index / parts};
}

FramePlan plan_part(const FramePlan &whole, int k, int n) {
    const PartSpan span = part_span(whole.kept(), k, n);
    FramePlan part = whole;
    part.stamps.resize(whole.first_kept + span.end);
    part.first_kept = whole.first_kept + span.begin;
    return part;
}

bool read_frame_times(std::istream &in, std::vector<int32_t> &times, std::string &error) {
    times.clear();
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::size_t begin = line.find_first_not_of(" \t\r");
        if (begin == std::string::npos) continue;
        std::size_t end = line.find_last_not_of(" \t\r") + 1;
        std::string text = line.substr(begin, end - begin);
        errno = 0;
        char *stop = nullptr;
        long long value = std::strtoll(text.c_str(), &stop, 10);
        if (*stop != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
            error = "line " + std::to_string(number) + ": '" + text +
                    "' is not a whole number of milliseconds";
            times.clear();
            return false;
        }
        times.push_back(static_cast<int32_t>(value));
    }
    if (times.empty()) {
        error = "no frame times";
        return false;
    }
    return true;
}
