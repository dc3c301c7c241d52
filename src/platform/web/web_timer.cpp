// Millisecond timer in the browser, led by the music (the rule: platform/music_led_timer.h).
//   [x] while the music plays, the time is its position (plus where it started): a late start, a
//       stalled tab or a stalled download keeps picture and sound in step
//   [x] never runs backwards: a music that stalls holds the picture until it moves on
//   [x] without music (refused, ended, absent) the page's clock goes on from there
//   [x] a box at the start holds the start, music and clock, until it is closed
//   [x] a seek moves the music, not the timer
#include "platform/music_led_timer.h"
#include "platform/timer.h"
#include "platform/web/web_timer.h"

#include <emscripten.h>

namespace {

MusicLedTimer Timer;

// The page's reading: clock, held, music, playing, position.
EM_JS(void, web_lead_reading, (double *out), {
    const r = Module.webPage.leadReading();
    HEAPF64.set([ r.clock, r.held, r.music, r.playing, r.position ], out >> 3);
});
EM_JS(double, web_clock_ms, (), { return performance.now(); });
EM_JS(void, web_timer_given, (double ms), { Module.webPage.last = ms; });

} // namespace

uint32_t timer_ms() {
    double r[5];
    web_lead_reading(r);
    const LeadReading reading = {r[0], r[1] != 0, r[2] != 0, r[3] != 0, r[4]};
    const double now = music_led_timer_now(Timer, reading);
    web_timer_given(now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now));
}

void web_timer_music_moved(double position_ms) {
    music_led_timer_moved(Timer, web_clock_ms(), position_ms);
}
