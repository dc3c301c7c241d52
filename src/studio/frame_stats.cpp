#include "studio/frame_stats.h"

#include <algorithm>
#include <cmath>

namespace {

int64_t microseconds(float ms) {
    return std::llround(static_cast<double>(ms) * 1000.0);
}

} // namespace

void FrameStats::add(int scene, float ms) {
    if (scene != scene_) reset();
    scene_ = scene;
    if (!(ms >= 0.0f) || ms > 1.0e6f) return; // a clock going backwards or NaN is no frame time
    if (count_ == FrameStatsCapacity) {
        total_us_ -= microseconds(times_[oldest_]);
        oldest_ = (oldest_ + 1) % FrameStatsCapacity;
        --count_;
    }
    times_[(oldest_ + count_) % FrameStatsCapacity] = ms;
    ++count_;
    total_us_ += microseconds(ms);
    while (count_ > 1 && total_us_ - microseconds(times_[oldest_]) >= 1000000) {
        total_us_ -= microseconds(times_[oldest_]);
        oldest_ = (oldest_ + 1) % FrameStatsCapacity;
        --count_;
    }
}

void FrameStats::reset() {
    oldest_ = 0;
    count_ = 0;
    total_us_ = 0;
}

FrameSummary FrameStats::summary() {
    if (count_ == 0) return {0, 0.0f, 0.0f};
    for (int i = 0; i < count_; ++i) sorted_[i] = times_[(oldest_ + i) % FrameStatsCapacity];
    // Nearest rank: the ceil(q n)-th smallest.
    const int median = (count_ + 1) / 2 - 1;
    const int p99 = (99 * count_ + 99) / 100 - 1;
    std::nth_element(sorted_, sorted_ + p99, sorted_ + count_);
    const float p99_ms = sorted_[p99];
    std::nth_element(sorted_, sorted_ + median, sorted_ + p99);
    return {count_, p99 == median ? p99_ms : sorted_[median], p99_ms};
}
