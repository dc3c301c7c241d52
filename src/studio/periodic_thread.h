// A thread that does one piece of work at a fixed interval until its owner lets it go.
#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class PeriodicThread {
  public:
    // Runs `work` every `interval`, first one interval from now. With `once_more_at_stop` it runs
    // once more when stopped, so what came in since the last run is not lost.
    PeriodicThread(std::chrono::milliseconds interval, std::function<void()> work,
                   bool once_more_at_stop = false);
    // Wakes the thread at once and joins it: no run starts after this returns.
    ~PeriodicThread();
    PeriodicThread(const PeriodicThread &) = delete;
    PeriodicThread &operator=(const PeriodicThread &) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};
