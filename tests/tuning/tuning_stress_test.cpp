// MIDI threads flooding the bank while the render thread looks up defaults: a received value is
// never replaced by a default, and a reader never sees a value that was not sent. Run it under
// TSan.
#include "tuning/tuning_bank.h"
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

TEST(TuningBankConcurrency, DefaultsNeverOverwriteReceivedValues) {
    constexpr float Fallback = -1.0f; // the writers only send bytes 1..127, never this
    const auto sent = [](int c) { return static_cast<float>((1 + c % 127) / 127.0); };
    int violations = 0;
    for (int round = 0; round < 200 && violations == 0; ++round) {
        TuningBank bank(TuningBank::no_devices);
        std::atomic<int> writers_done{0};
        // Each writer owns every other controller and sends each exactly once (a value lost to a
        // default is never sent again to hide it), one upwards, one downwards, from a point that
        // moves with the round.
        const auto write = [&](int w) {
            for (int k = 0; k < ControllerCount / 2; ++k) {
                const int c = 2 * ((round * 7 + (w ? 64 - k : k)) % 64) + w;
                bank.receive(static_cast<unsigned char>(0xB0 | w), static_cast<unsigned char>(c),
                             static_cast<unsigned char>(1 + c % 127));
            }
            writers_done.fetch_add(1);
        };
        std::thread up(write, 0), down(write, 1);
        while (writers_done.load() < 2)
            for (int c = 0; c < ControllerCount; ++c) {
                const float value = bank.value_or_default(c, Fallback);
                violations += value != Fallback && value != sent(c);
            }
        // Each value was sent once: one that a default replaced is still missing now.
        up.join();
        down.join();
        for (int c = 0; c < ControllerCount; ++c)
            violations += bank.value_or_default(c, Fallback) != sent(c);
    }
    EXPECT_EQ(violations, 0);
}
