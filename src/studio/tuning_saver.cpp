// The tuning file kept up to date off the render thread. The MIDI callback only bumps the bank's
// change count; this thread compares it a few times a second, so nothing ever waits for a write.
#include "studio/tuning_saver.h"

#include "platform/file_replace.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

TuningSaver::TuningSaver(TuningBank &bank, std::string path)
    : bank_(bank), path_(std::move(path)),
      saved_count_(bank.change_count.load(std::memory_order_acquire)),
      thread_(
          std::chrono::milliseconds(TuningSaveIntervalMs), [this] { save_if_changed(); }, true) {}

std::string TuningSaver::status() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return status_;
}

void TuningSaver::save_if_changed() {
    const unsigned count = bank_.change_count.load(std::memory_order_acquire);
    if (count == saved_count_) return;
    // A line end after the line, as a text file has; the reader takes it either way.
    char line[TunedValuesLineSize + 1];
    std::size_t length = format_tuned_values(bank_, line, TunedValuesLineSize);
    line[length++] = '\n';
    std::string error;
    const bool saved = file_replace(path_.c_str(), line, length, error);
    if (saved) {
        saved_count_ = count;
        saves_.fetch_add(1);
    }
    std::lock_guard<std::mutex> hold(mutex_);
    status_ = saved ? std::string() : std::string("tuning not saved: ") + error;
}
