#pragma once

namespace tune {

constexpr double kSampleRate = 44100.0;
constexpr double kBpm = 128.0;
constexpr double kBeat = 60.0 / kBpm; // 0.46875 s
constexpr double kStep = kBeat / 4.0; // a sixteenth, 0.1171875 s
constexpr double kBar = 4.0 * kBeat;  // 1.875 s
constexpr int kStepsPerBar = 16;

// The last scene starts at 101.2 s of music on a downbeat, bar 54 counted from this origin.
constexpr double kClimaxStart = 101.2;
constexpr int kClimaxBar = 54;
constexpr double kGridOrigin = kClimaxStart - kClimaxBar * kBar; // -0.05 s

// Music time of a sixteenth-note step on the global grid.
constexpr double step_time(double step) {
    return kGridOrigin + step * kStep;
}

inline long seconds_to_frames(double seconds, double fs = kSampleRate) {
    double x = seconds * fs + 0.5;
    auto i = static_cast<long>(x);
    return static_cast<double>(i) > x ? i - 1 : i;
}

} // namespace tune
