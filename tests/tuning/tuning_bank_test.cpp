// The default rule and the exported line's text. Which bytes land where, and how the line is cut
// to a short buffer, are checked by the fuzz targets' corpora (tests/fuzz, replayed as unit tests).
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string line_of(TuningBank &bank) {
    char line[TunedValuesLineSize];
    const std::size_t length = format_tuned_values(bank, line, sizeof line);
    EXPECT_EQ(length, std::strlen(line));
    return line;
}

} // namespace

TEST(TuningBank, DefaultsTuneNothingAndTheLineListsReceivedValuesInOrderAndWhole) {
    TuningBank bank(TuningBank::no_devices);
    // Out of range: the default comes back and nothing is stored (past the end lie the flags).
    for (int controller : {-1, ControllerCount})
        EXPECT_EQ(bank.value_or_default(controller, 0.5f), 0.5f);
    // Each untouched read takes (and stores) its own default, which is no tuned value.
    EXPECT_EQ(bank.value_or_default(4, 0.25f), 0.25f);
    EXPECT_EQ(bank.value_or_default(4, 0.75f), 0.75f);
    EXPECT_EQ(bank.values[4], 0.75f);
    EXPECT_EQ(line_of(bank), "");
    // Listed in ascending order; a received value is never replaced by a default.
    bank.receive(0x90, 2, 64);
    bank.receive(0xB0, 13, 127);
    bank.receive(0xB0, 0, 0);
    EXPECT_EQ(line_of(bank), "0:0.00(0) 2:0.50(64) 13:1.00(127) ");
    for (float fallback : {0.25f, -3.0f})
        EXPECT_EQ(bank.value_or_default(2, fallback), static_cast<float>(64 / 127.0));
    EXPECT_EQ(bank.value_or_default(0, 0.5f), 0.0f);
    // The longest line fits whole.
    for (int c = 0; c < ControllerCount; ++c)
        bank.receive(0xB0, static_cast<unsigned char>(c), 127);
    const std::string line = line_of(bank);
    EXPECT_EQ(line.size(), 1682u);
    EXPECT_EQ(line.substr(line.size() - 28), "126:1.00(127) 127:1.00(127) ");
}
