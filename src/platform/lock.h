// A lock held around a few loads and stores, shared with the MIDI callback's thread. Taking it
// never allocates nor creates a kernel object, and it works from static initialisation on.
#pragma once

#if defined(_WIN32)
// winpthreads' std::mutex allocates on its first lock, which would fall in a MIDI callback; a slim
// reader/writer lock is one pointer, ready when zero.
class PlatformLock {
  public:
    void lock();
    void unlock();

  private:
    void *state_ = nullptr; // an SRWLOCK
};
#else
#include <mutex>
using PlatformLock = std::mutex; // glibc's needs no allocation
#endif
