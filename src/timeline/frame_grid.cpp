#include "timeline/frame_grid.h"

#include <cmath>

int32_t frame_time_ms(long frame, double fps) {
    return static_cast<int32_t>(std::llround(static_cast<double>(frame) * 1000.0 / fps));
}

long frame_nearest(double seconds, double fps) {
    return static_cast<long>(std::llround(seconds * fps));
}
