// Frame times of the scene on screen over the last second, for the overlay.
#pragma once
#include <cstdint>

// At most this many frames make up the window (the last second at up to 1024 fps).
constexpr int FrameStatsCapacity = 1024;

struct FrameSummary {
    int frames; // in the window; 0 when none, and then both figures are 0
    float median_ms;
    float p99_ms; // both by nearest rank
};

class FrameStats {
  public:
    // One frame of `scene` that took `ms`. A frame of another scene than the last starts afresh;
    // the oldest frames leave once the rest still span a second.
    void add(int scene, float ms);
    // A move: the frames before it belong to another moment.
    void reset();
    FrameSummary summary();

  private:
    float times_[FrameStatsCapacity];
    float sorted_[FrameStatsCapacity]; // summary's scratch, kept here so no frame allocates
    int oldest_ = 0;
    int count_ = 0;
    int64_t total_us_ = 0; // of the frames in the window, in whole microseconds so it never drifts
    int scene_ = 0;
};
