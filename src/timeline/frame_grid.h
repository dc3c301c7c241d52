// The fixed-rate grid of loop times that captures render and the studio's moves land on.
#pragma once
#include <cstdint>

// Loop time of frame k at a fixed rate: round(k * 1000 / fps) milliseconds.
int32_t frame_time_ms(long frame, double fps);
// The frame nearest to a loop time at a fixed rate.
long frame_nearest(double seconds, double fps);
