// The tuning bank: MIDI controller values that override scene parameters while the demo runs.
#include "tuning/tuning_bank.h"
#include "platform/midi_in.h"
#include "tuning/tuned_values_export.h"

TuningReadSeam TuningReadOverride = {nullptr, nullptr};

static bool is_controller(int controller) {
    return controller >= 0 && controller < ControllerCount;
}

// The platform hands over bare bytes, so every device feeds the process-wide bank.
static void forward_to_tuning(unsigned char status, unsigned char data1, unsigned char data2) {
    Tuning.receive(status, data1, data2);
}

TuningBank::TuningBank() : owns_devices_(true) {
    // Devices deliver as soon as each one is open, possibly while later ones are still being set
    // up.
    device_count = midi_in_open_all(forward_to_tuning, MaxMidiDevices);
}

TuningBank::TuningBank(NoDevices) {}

TuningBank::~TuningBank() {
    if (!owns_devices_) return;
    midi_in_close_all(); // no callback can touch the values from here on
    float copied[ControllerCount];
    unsigned char flags[ControllerCount];
    snapshot(copied, flags);
    export_tuned_values(copied, flags);
}

void TuningBank::receive(unsigned char, unsigned char data1, unsigned char data2) {
    if (data1 >= ControllerCount) return;
    const float value = static_cast<float>(data2 / 127.0);
    bool changed = false;
    {
        std::lock_guard<PlatformLock> hold(lock_);
        if (filter_.admit &&
            !filter_.admit(filter_.context, data1, data2, values[data1], touched[data1] != 0))
            return;
        // A repeated value (a MIDI clock lands on controller 0 many times a second) is no change.
        changed = !touched[data1] || values[data1] != value;
        touched[data1] = 1;
        values[data1] = value;
    }
    if (changed) change_count.fetch_add(1, std::memory_order_release);
}

void TuningBank::set_receive_filter(const ReceiveFilter &filter) {
    std::lock_guard<PlatformLock> hold(lock_);
    filter_ = filter;
}

float TuningBank::value_or_default(int controller, float fallback) {
    if (!is_controller(controller)) return fallback;
    // Test, store and read under one hold: a message arriving meanwhile is never overwritten.
    std::lock_guard<PlatformLock> hold(lock_);
    if (!touched[controller]) values[controller] = fallback;
    return values[controller];
}

float TuningBank::peek_or_default(int controller, float fallback) {
    if (!is_controller(controller)) return fallback;
    std::lock_guard<PlatformLock> hold(lock_);
    return touched[controller] ? values[controller] : fallback;
}

void TuningBank::untouch(int controller) {
    if (!is_controller(controller)) return;
    std::lock_guard<PlatformLock> hold(lock_);
    if (touched[controller]) change_count.fetch_add(1, std::memory_order_release);
    touched[controller] = 0;
}

float TuningBank::value(int controller) {
    if (!is_controller(controller)) return 0.0f;
    std::lock_guard<PlatformLock> hold(lock_);
    return values[controller];
}

bool TuningBank::is_touched(int controller) {
    if (!is_controller(controller)) return false;
    std::lock_guard<PlatformLock> hold(lock_);
    return touched[controller] != 0;
}

void TuningBank::snapshot(float values_out[ControllerCount],
                          unsigned char touched_out[ControllerCount]) {
    for (int controller = 0; controller < ControllerCount; ++controller) {
        std::lock_guard<PlatformLock> hold(lock_);
        values_out[controller] = values[controller];
        touched_out[controller] = touched[controller];
    }
}

std::size_t format_tuned_values(TuningBank &bank, char *line, std::size_t size) {
    float copied[ControllerCount];
    unsigned char flags[ControllerCount];
    bank.snapshot(copied, flags);
    return format_tuned_values(copied, flags, line, size);
}

TuningBank Tuning;

float value_or_default(int controller, float fallback) {
    if (TuningReadOverride.read)
        return TuningReadOverride.read(TuningReadOverride.context, controller, fallback);
    return Tuning.value_or_default(controller, fallback);
}
