// Bytes to bank, the default-storing rule, and the read order seen by the observer.
#include "tuning/tuning_bank.h"
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

float byte_value(int byte) {
    return static_cast<float>(byte / 127.0);
}

std::vector<int> touched_controllers(TuningBank &bank) {
    std::vector<int> touched;
    for (int c = 0; c < ControllerCount; ++c)
        if (bank.is_touched(c)) touched.push_back(c);
    return touched;
}

} // namespace

TEST(TuningBankReceive, EveryKindOfMessageSetsTheControllerNamedByItsFirstDataByte) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 7, 127); // control change
    EXPECT_EQ(bank.value(7), 1.0f);
    bank.receive(0x90, 60, 100); // note-on
    EXPECT_EQ(bank.value(60), byte_value(100));
    bank.receive(0x80, 60, 64); // its note-off stores the release velocity
    EXPECT_EQ(bank.value(60), byte_value(64));
    bank.receive(0xC0, 5, 0); // program change: the missing byte is 0
    bank.receive(0xF8, 0, 0); // timing clock: both missing
    EXPECT_EQ(bank.value(5), 0.0f);
    EXPECT_EQ(bank.value(0), 0.0f);
    EXPECT_EQ(touched_controllers(bank), (std::vector<int>{0, 5, 7, 60}));
    EXPECT_EQ(bank.device_count, 0u);
}

TEST(TuningBankReceive, ControllersPast127AreDroppedWithoutSpilling) {
    TuningBank bank(TuningBank::no_devices);
    for (int data1 = 128; data1 < 256; ++data1)
        bank.receive(0xB0, static_cast<unsigned char>(data1), 99);
    EXPECT_TRUE(touched_controllers(bank).empty());
    for (int c = 0; c < ControllerCount; ++c) EXPECT_EQ(bank.values[c], 0.0f) << c;
    EXPECT_EQ(bank.device_count, 0u);
}

TEST(TuningBankReceive, TheLaterMessageWinsWhateverItsDeviceOrChannel) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 10, 20);
    bank.receive(0xB3, 10, 90);
    EXPECT_EQ(bank.value(10), byte_value(90));
    bank.receive(0x9F, 10, 1);
    EXPECT_EQ(bank.value(10), byte_value(1));
}

TEST(TuningBankDefaults, UntouchedControllersTakeEachDefaultTouchedOnesKeepTheirValue) {
    TuningBank bank(TuningBank::no_devices);
    EXPECT_EQ(bank.value_or_default(4, 0.25f), 0.25f);
    EXPECT_EQ(bank.value_or_default(4, 0.75f), 0.75f);
    EXPECT_EQ(bank.values[4], 0.75f);
    EXPECT_FALSE(bank.is_touched(4));
    bank.receive(0xB0, 4, 64);
    for (float fallback : {0.25f, 0.0f, 1.0f, -3.0f})
        EXPECT_EQ(bank.value_or_default(4, fallback), byte_value(64));
    bank.receive(0xB0, 4, 0);
    EXPECT_EQ(bank.value_or_default(4, 0.5f), 0.0f);
}

TEST(TuningReadObserver, SeesEveryLookupOnTheProcessBankBeforeItRuns) {
    static std::vector<std::pair<int, float>> seen;
    static std::vector<float> before;
    TuningReadObserver = [](int controller, float fallback) {
        seen.emplace_back(controller, fallback);
        before.push_back(Tuning.values[controller]);
    };
    EXPECT_EQ(value_or_default(90, 0.5f), 0.5f);
    EXPECT_EQ(value_or_default(91, 0.25f), 0.25f);
    EXPECT_EQ(value_or_default(90, 0.125f), 0.125f);
    TuningReadObserver = nullptr;
    value_or_default(92, 1.0f);
    EXPECT_EQ(seen, (std::vector<std::pair<int, float>>{{90, 0.5f}, {91, 0.25f}, {90, 0.125f}}));
    EXPECT_EQ(before, (std::vector<float>{0.0f, 0.0f, 0.5f}));
}
