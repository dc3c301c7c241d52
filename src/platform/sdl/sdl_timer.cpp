// Millisecond timer and GL procedure lookup on SDL2.
//   [x] 32-bit milliseconds that wrap like any tick count
#include "platform/gl_proc.h"
#include "platform/timer.h"

#include <SDL.h>

uint32_t timer_ms() {
    return SDL_GetTicks();
}

void *gl_proc_address(const char *name) {
    return SDL_GL_GetProcAddress(name);
}
