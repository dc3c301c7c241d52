// The exported line: its entries, its length limits, and what reaches the clipboard.
#include "platform/clipboard.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

// Stands in for the platform's clipboard: the linker takes this one over the library's. Plain
// arrays, because the process-wide bank exports through it after static destruction has begun.
static char ClipboardTexts[4][TunedValuesLineSize];
static int ClipboardCalls;
bool copy_to_clipboard(const char *text) {
    if (ClipboardCalls < 4)
        std::snprintf(ClipboardTexts[ClipboardCalls], TunedValuesLineSize, "%s", text);
    ++ClipboardCalls;
    return true;
}

namespace {

std::string line_of(TuningBank &bank) {
    char line[TunedValuesLineSize];
    const std::size_t length = format_tuned_values(bank, line, sizeof line);
    EXPECT_EQ(length, std::strlen(line));
    return line;
}

} // namespace

TEST(TunedValuesLine, ListsTouchedControllersInAscendingOrder) {
    TuningBank bank(TuningBank::no_devices);
    EXPECT_EQ(line_of(bank), "");
    bank.value_or_default(3, 0.5f); // defaults are not tuned values
    bank.receive(0xB0, 13, 127);
    bank.receive(0x90, 2, 64);
    EXPECT_EQ(line_of(bank), "2:0.50(64) 13:1.00(127) ");
    bank.receive(0xB0, 100, 0);
    bank.receive(0xB0, 9, 1);
    EXPECT_EQ(line_of(bank), "2:0.50(64) 9:0.01(1) 13:1.00(127) 100:0.00(0) ");
}

TEST(TunedValuesLine, EveryByteComesBackInParentheses) {
    for (int byte = 0; byte < 256; ++byte) {
        TuningBank bank(TuningBank::no_devices);
        bank.receive(0xB0, 42, static_cast<unsigned char>(byte));
        int shown = -1;
        ASSERT_EQ(std::sscanf(line_of(bank).c_str(), "42:%*f(%d) ", &shown), 1);
        EXPECT_EQ(shown, byte);
    }
}

TEST(TunedValuesLine, AllControllersAtFullFitCompletely) {
    TuningBank bank(TuningBank::no_devices);
    for (int c = 0; c < ControllerCount; ++c)
        bank.receive(0xB0, static_cast<unsigned char>(c), 127);
    const std::string line = line_of(bank);
    EXPECT_EQ(line.size(), 1682u);
    EXPECT_EQ(line.compare(0, 24, "0:1.00(127) 1:1.00(127) "), 0);
    EXPECT_EQ(line.compare(line.size() - 28, 28, "126:1.00(127) 127:1.00(127) "), 0);
}

TEST(TunedValuesLine, AShortBufferStopsAtTheLastWholeEntry) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 2, 64);   // "2:0.50(64) ": 11 characters
    bank.receive(0xB0, 13, 127); // "13:1.00(127) ": 13 more
    char buffer[32];
    for (std::size_t size : {0, 1, 11, 12, 24, 25}) {
        std::memset(buffer, '#', sizeof buffer);
        const std::size_t length = format_tuned_values(bank, buffer, size);
        const std::size_t expected = size >= 25 ? 24 : size >= 12 ? 11 : 0;
        EXPECT_EQ(length, expected) << size;
        if (size > 0) {
            EXPECT_EQ(buffer[length], '\0') << size;
        }
        for (std::size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], '#') << size;
    }
    EXPECT_EQ(std::string(buffer), "2:0.50(64) 13:1.00(127) ");
}

TEST(TunedValuesExport, HandsTheLineToTheClipboardAndAnEmptyOneWhenNothingWasTouched) {
    ClipboardCalls = 0;
    TuningBank bank(TuningBank::no_devices);
    export_tuned_values(bank);
    bank.receive(0xB0, 2, 64);
    export_tuned_values(bank);
    ASSERT_EQ(ClipboardCalls, 2);
    EXPECT_STREQ(ClipboardTexts[0], "");
    EXPECT_STREQ(ClipboardTexts[1], "2:0.50(64) ");
}
