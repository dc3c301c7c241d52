// GL procedure lookup on SDL2.
#include "platform/gl_proc.h"

#include <SDL.h>

void *gl_proc_address(const char *name) {
    return SDL_GL_GetProcAddress(name);
}
