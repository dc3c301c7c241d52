// MIDI threads flooding the bank while the render thread looks up defaults: a received value is
// never replaced by a default, and a reader never sees a value that was not sent. Run it under
// TSan.
#include "tuning/tuning_bank.h"
#include <algorithm>
#include <atomic>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

TEST(TuningBankConcurrency, DefaultsNeverOverwriteReceivedValues) {
    constexpr float Fallback = -1.0f; // the writers only send bytes 1..127, never this
    constexpr int Rounds = 200;
    constexpr int Writers = 2;
    int violations = 0;
    for (int round = 0; round < Rounds && violations == 0; ++round) {
        TuningBank bank(TuningBank::no_devices);
        std::atomic<int> writers_done{0};
        std::vector<std::thread> writers;
        for (int w = 0; w < Writers; ++w) {
            writers.emplace_back([&bank, &writers_done, round, w] {
                // Each writer owns every Writers-th controller and sends each exactly once, in an
                // order of its own: a value lost to a default is never sent again to hide it.
                std::vector<int> order;
                for (int c = w; c < ControllerCount; c += Writers) order.push_back(c);
                std::shuffle(order.begin(), order.end(), std::mt19937(round * Writers + w));
                for (int c : order)
                    bank.receive(static_cast<unsigned char>(0xB0 | w),
                                 static_cast<unsigned char>(c),
                                 static_cast<unsigned char>(1 + c % 127));
                writers_done.fetch_add(1);
            });
        }
        bool seen[ControllerCount] = {};
        auto read_all = [&] {
            for (int c = 0; c < ControllerCount; ++c) {
                const float value = bank.value_or_default(c, Fallback);
                const bool sent = value == static_cast<float>((1 + c % 127) / 127.0);
                if (value == Fallback ? seen[c] : !sent) ++violations;
                seen[c] = seen[c] || value != Fallback;
            }
        };
        while (writers_done.load() < Writers) read_all();
        for (auto &writer : writers) writer.join();
        read_all();
        for (int c = 0; c < ControllerCount; ++c) EXPECT_TRUE(seen[c]) << "controller " << c;
    }
    EXPECT_EQ(violations, 0);
}
