#include "platform/music_led_timer.h"

#include <algorithm>
#include <cmath>

double music_led_timer_now(MusicLedTimer &timer, const LeadReading &reading) {
    double now = reading.clock_ms + timer.offset_ms;
    if (reading.held) {
        now = timer.last_ms;
    } else if (reading.music) {
        const double music = timer.origin_ms + reading.position_ms;
        if (!reading.playing || std::fabs(music - now) > MusicLeadToleranceMs) now = music;
    }
    now = std::max(now, timer.last_ms);
    timer.offset_ms = now - reading.clock_ms;
    timer.last_ms = now;
    return now;
}

void music_led_timer_moved(MusicLedTimer &timer, double clock_ms, double position_ms) {
    // From its last value: a timer held by a stall or a box has not moved since.
    timer.offset_ms = timer.last_ms - clock_ms;
    timer.origin_ms = timer.last_ms - position_ms;
}
