// Soft takeover: a knob whose position differs from the value its controller holds (preloaded or
// saved) takes over only once it passes through that value, so resuming a session never makes a
// parameter jump.
#pragma once
#include "tuning/controllers.h"

#include <atomic>

class TuningBank;

// Which controllers wait for their knobs: the bank's receive filter keeps it while it is set.
struct SoftTakeover {
    // Written by the filter on the MIDI threads, read by the overlay on the render thread.
    std::atomic<bool> waiting[ControllerCount] = {};
    // The knob's last position while its controller waits, -1 before its first message. Only the
    // filter touches it once it is set, always under the bank's lock.
    int last_position[ControllerCount] = {};
};

// Makes every controller the bank holds touched now wait for its knob, and sets the bank's
// receive filter on `takeover`, which must outlive soft_takeover_stop. Call it after the preload.
void soft_takeover_start(SoftTakeover &takeover, TuningBank &bank);
// Removes the filter: every message reaches the bank again, and none waits.
void soft_takeover_stop(SoftTakeover &takeover, TuningBank &bank);
// True while the controller's knob has not yet reached the value it holds: for the overlay.
bool soft_takeover_waiting(const SoftTakeover &takeover, int controller);
