// Millisecond timer in the browser, led by the music.
//   [x] while the music plays, the time is its position (plus where it started): a late start, a
//       stalled tab or a stalled download keeps picture and sound in step
//   [x] never runs backwards: a music that stalls holds the picture until it moves on
//   [x] without music (refused, ended, absent) the page's clock goes on from there
#include "platform/timer.h"

#include <emscripten.h>

EM_JS(double, web_timer_now, (), { return Module.webPage.timerNow(); });

uint32_t timer_ms() {
    return static_cast<uint32_t>(static_cast<uint64_t>(web_timer_now()));
}
