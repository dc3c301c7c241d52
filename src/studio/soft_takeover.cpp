// The bank's receive filter for soft takeover, and which controllers it holds back.
#include "studio/soft_takeover.h"

#include "tuning/tuning_bank.h"

#include <cmath>

static bool pick_up(void *context, int controller, int data, float held, bool) {
    SoftTakeover &takeover = *static_cast<SoftTakeover *>(context);
    if (!takeover.waiting[controller].load(std::memory_order_relaxed)) return true;
    const int target = static_cast<int>(std::lround(held * 127.0f));
    const int last = takeover.last_position[controller];
    takeover.last_position[controller] = data;
    // On the value, or across it since the last message (a fast turn skips bytes).
    const bool reached = data == target || (last >= 0 && (last < target) != (data < target));
    if (reached) takeover.waiting[controller].store(false, std::memory_order_relaxed);
    return reached;
}

void soft_takeover_start(SoftTakeover &takeover, TuningBank &bank) {
    for (int controller = 0; controller < ControllerCount; ++controller) {
        takeover.last_position[controller] = -1;
        takeover.waiting[controller].store(bank.is_touched(controller), std::memory_order_relaxed);
    }
    bank.set_receive_filter({pick_up, &takeover});
}

void soft_takeover_stop(SoftTakeover &takeover, TuningBank &bank) {
    bank.set_receive_filter({});
    for (std::atomic<bool> &waiting : takeover.waiting)
        waiting.store(false, std::memory_order_relaxed);
}

bool soft_takeover_waiting(const SoftTakeover &takeover, int controller) {
    return controller >= 0 && controller < ControllerCount &&
           takeover.waiting[controller].load(std::memory_order_relaxed);
}
