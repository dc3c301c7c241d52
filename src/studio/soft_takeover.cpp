// The bank's receive filter for soft takeover, and which controllers it holds back.
#include "studio/soft_takeover.h"

#include "tuning/tuning_bank.h"

#include <atomic>
#include <cmath>

namespace {

// Written by the filter on the MIDI threads, read by the overlay on the render thread.
std::atomic<bool> Waiting[ControllerCount];
// The knob's last position while its controller waits, -1 before its first message. Only the
// filter touches it once it is set, always under the bank's lock.
int LastPosition[ControllerCount];

bool pick_up(int controller, int data, float held, bool) {
    if (!Waiting[controller].load(std::memory_order_relaxed)) return true;
    const int target = static_cast<int>(std::lround(held * 127.0f));
    const int last = LastPosition[controller];
    LastPosition[controller] = data;
    // On the value, or across it since the last message (a fast turn skips bytes).
    const bool reached = data == target || (last >= 0 && (last < target) != (data < target));
    if (reached) Waiting[controller].store(false, std::memory_order_relaxed);
    return reached;
}

} // namespace

void soft_takeover_start(TuningBank &bank) {
    for (int controller = 0; controller < ControllerCount; ++controller) {
        LastPosition[controller] = -1;
        Waiting[controller].store(bank.is_touched(controller), std::memory_order_relaxed);
    }
    bank.receive_filter.store(pick_up, std::memory_order_release);
}

void soft_takeover_stop(TuningBank &bank) {
    bank.receive_filter.store(nullptr, std::memory_order_release);
    for (std::atomic<bool> &waiting : Waiting) waiting.store(false, std::memory_order_relaxed);
}

bool soft_takeover_waiting(int controller) {
    return controller >= 0 && controller < ControllerCount &&
           Waiting[controller].load(std::memory_order_relaxed);
}
