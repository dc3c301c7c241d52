// A fake of the platform and the core that records every call the main loop makes.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct RecordingPlatform {
    std::vector<std::string> calls;
    std::deque<uint32_t> timer_readings;      // one per timer_ms call; the last repeats
    std::deque<std::vector<int>> pass_queues; // per pass: the messages queued (1 = quit, 0 = other)
    bool window_ok = true;
    bool resources_ok = true;

    void reset() { *this = RecordingPlatform(); }
};

extern RecordingPlatform Fake;
