#include "studio/periodic_thread.h"

#include <utility>

PeriodicThread::PeriodicThread(std::chrono::milliseconds interval, std::function<void()> work,
                               bool once_more_at_stop)
    : thread_([this, interval, work = std::move(work), once_more_at_stop] {
          std::unique_lock<std::mutex> hold(mutex_);
          for (;;) {
              const bool stopping = wake_.wait_for(hold, interval, [this] { return stopping_; });
              if (stopping && !once_more_at_stop) return;
              hold.unlock(); // the work never holds up the owner's stop
              work();
              hold.lock();
              if (stopping) return;
          }
      }) {}

PeriodicThread::~PeriodicThread() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}
