// Soft takeover through the bank's filter, as the knobs' messages arrive.
#include "studio/soft_takeover.h"
#include "tuning/tuning_bank.h"

#include <gtest/gtest.h>

TEST(SoftTakeover, APreloadedControllerFollowsItsKnobOnlyOnceTheKnobPassesItsValue) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 13, 100);
    bank.receive(0xB0, 20, 64);
    SoftTakeover takeover;
    soft_takeover_start(takeover, bank);
    EXPECT_TRUE(soft_takeover_waiting(takeover, 13) && soft_takeover_waiting(takeover, 20) &&
                !soft_takeover_waiting(takeover, 2));
    bank.receive(0xB0, 2, 5); // untouched: follows at once
    const unsigned changes = bank.change_count;
    for (int data : {20, 60, 99}) bank.receive(0xB0, 13, data);
    bank.receive(0xB0, 20, 120);
    EXPECT_EQ(bank.change_count, changes) << "held back, so no change to save";
    EXPECT_TRUE(soft_takeover_waiting(takeover, 13) &&
                bank.value(13) == static_cast<float>(100 / 127.0));
    bank.receive(0xB0, 13, 103); // across 100 since 99
    bank.receive(0xB0, 20, 64);  // onto it
    for (int c : {13, 20}) EXPECT_FALSE(soft_takeover_waiting(takeover, c)) << c;
    bank.receive(0xB0, 13, 0);
    EXPECT_TRUE(bank.value(13) == 0.0f && bank.value(20) == static_cast<float>(64 / 127.0) &&
                bank.value(2) == static_cast<float>(5 / 127.0));
    soft_takeover_stop(takeover, bank);
}
