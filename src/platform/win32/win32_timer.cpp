// Millisecond timer on Win32.
//   [x] timeGetTime at the system's default granularity (no timeBeginPeriod)
#include "platform/timer.h"
#include "platform/win32/win32_internals.h"

#include <cstdint>

uint32_t timer_ms() {
    return timeGetTime();
}
