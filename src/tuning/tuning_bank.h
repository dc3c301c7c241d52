// The tuning bank: MIDI controllers that override scene parameters live.
#pragma once
#include "platform/lock.h"
#include "tuning/controllers.h"

#include <atomic>
#include <cstddef>
#include <mutex>

constexpr unsigned MaxMidiDevices = 32;

class TuningBank {
  public:
    enum NoDevices { no_devices };

    // Opens and starts every MIDI input device (at most 32); the destructor closes them and
    // puts the touched values on the clipboard.
    TuningBank();
    // A bank that opens nothing and exports nothing: for tests and tools.
    explicit TuningBank(NoDevices);
    ~TuningBank();
    TuningBank(const TuningBank &) = delete;
    TuningBank &operator=(const TuningBank &) = delete;

    // One short message from any device, on the MIDI thread. The status byte is not examined.
    void receive(unsigned char status, unsigned char data1, unsigned char data2);
    // Render thread: the received value of a touched controller, else the default (stored).
    float value_or_default(int controller, float fallback);
    // What value_or_default would return, leaving the stored value alone.
    float peek_or_default(int controller, float fallback);
    // Back to untouched: the next read stores the default again and the export leaves it out.
    void untouch(int controller);

    // Consistent copies: one controller's for tests, every controller's for the export.
    float value(int controller);
    bool is_touched(int controller);
    void snapshot(float values_out[ControllerCount], unsigned char touched_out[ControllerCount]);

    float values[ControllerCount] = {};
    unsigned char touched[ControllerCount] = {};
    unsigned device_count = 0;

    // Decides whether a message reaches its controller; runs in receive, under the bank's lock,
    // with its context and the value and flag the controller holds. Without one, as in plain mode,
    // every message does.
    struct ReceiveFilter {
        bool (*admit)(void *context, int controller, int data, float held, bool touched);
        void *context;
    };
    // Sets the filter ({} for none) under the lock: once this returns, no message is in the old
    // one.
    void set_receive_filter(const ReceiveFilter &filter);
    // Bumped by every message that changes a value or touches a controller, so a saver can tell a
    // change without the lock. Whoever else changes the arrays (an undo) bumps it too.
    std::atomic<unsigned> change_count{0};

  private:
    PlatformLock lock_; // held around one controller's few accesses, never longer
    ReceiveFilter filter_ = {nullptr, nullptr}; // under lock_
    bool owns_devices_ = false;
};

// The bank's touched values as the export writes them (format_tuned_values of a snapshot).
std::size_t format_tuned_values(TuningBank &bank, char *line, std::size_t size);

// The process-wide bank, built during static initialisation.
extern TuningBank Tuning;

// value_or_default on the process-wide bank: what the scene scripts call.
float value_or_default(int controller, float fallback);

// Answers every value_or_default call on the process-wide bank in its place when `read` is set,
// given its context, leaving the bank alone (the studio re-runs a script with one controller moved
// to see which slots follow; tests record the order of reads).
struct TuningReadSeam {
    float (*read)(void *context, int controller, float fallback);
    void *context;
};
extern TuningReadSeam TuningReadOverride;
