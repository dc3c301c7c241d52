// CPU time of this process and of the children it has waited for: how a run's cost splits
// between the renderer's side and ffmpeg's. One implementation per platform.
#pragma once

struct ProcessTimes {
    double self_s = 0.0;      // every thread of this process
    double children_s = 0.0;  // children that ended and were waited for
    bool has_children = true; // false where the platform does not count them
};

ProcessTimes process_times();
