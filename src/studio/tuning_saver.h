// The studio's tuning file: the bank's touched controllers saved after every change, in the
// clipboard line's format, at most ten times a second, on a thread of its own.
#pragma once
#include "studio/periodic_thread.h"

#include <atomic>
#include <mutex>
#include <string>

class TuningBank;

// A crash loses at most the changes of this last stretch.
constexpr int TuningSaveIntervalMs = 100;

class TuningSaver {
  public:
    // Starts the saving thread. The file is first written at the bank's next change (a preload
    // before this is no change), replaced whole each time (platform/file_replace.h).
    TuningSaver(TuningBank &bank, std::string path);
    // Saves a change still pending, then stops the thread.
    ~TuningSaver() = default;
    TuningSaver(const TuningSaver &) = delete;
    TuningSaver &operator=(const TuningSaver &) = delete;

    // Empty while the saves work, else why the last one failed, naming the file: for the overlay.
    // A failed save is tried again at the next wake-up.
    std::string status() const;
    // How many times the file was written.
    unsigned saves() const { return saves_.load(); }

  private:
    void save_if_changed();

    TuningBank &bank_;
    const std::string path_;
    unsigned saved_count_; // the bank's change count the file holds; the thread's alone
    std::atomic<unsigned> saves_{0};
    mutable std::mutex mutex_; // status_, never held while writing
    std::string status_;
    PeriodicThread thread_; // last: stopped before the rest goes
};
