// Millisecond timer on SDL2.
//   [x] 32-bit milliseconds that wrap like any tick count
#include "platform/timer.h"

#include <SDL.h>

uint32_t timer_ms() {
    return SDL_GetTicks();
}
