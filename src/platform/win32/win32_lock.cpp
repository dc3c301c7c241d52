#include "platform/lock.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

static_assert(sizeof(SRWLOCK) == sizeof(void *), "an SRWLOCK is one pointer");

void PlatformLock::lock() {
    AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&state_));
}

void PlatformLock::unlock() {
    ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&state_));
}
