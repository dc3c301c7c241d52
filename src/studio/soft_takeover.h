// Soft takeover: a knob whose position differs from the value its controller holds (preloaded or
// saved) takes over only once it passes through that value, so resuming a session never makes a
// parameter jump.
#pragma once

class TuningBank;

// Makes every controller the bank holds touched now wait for its knob, and sets the bank's
// receive filter. Call it after the preload.
void soft_takeover_start(TuningBank &bank);
// Removes the filter: every message reaches the bank again.
void soft_takeover_stop(TuningBank &bank);
// True while the controller's knob has not yet reached the value it holds: for the overlay.
bool soft_takeover_waiting(int controller);
