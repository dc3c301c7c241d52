// GL procedure lookup on Win32.
//   [x] wglGetProcAddress, with the drivers' odd failure values turned into null
#include "platform/gl_proc.h"
#include "platform/win32/win32_internals.h"

#include <cstdint>

void *gl_proc_address(const char *name) {
    PROC proc = wglGetProcAddress(name);
    // Some drivers answer 1, 2, 3 or -1 instead of null for a function they do not have.
    intptr_t value = reinterpret_cast<intptr_t>(proc);
    if (value >= -1 && value <= 3) return nullptr;
    return reinterpret_cast<void *>(proc);
}
