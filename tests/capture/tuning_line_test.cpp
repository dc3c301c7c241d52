// The clipboard line read back: every well-formed line, and every way an entry can be wrong.
#include "tuning_line.h"

#include <gtest/gtest.h>

namespace {

std::vector<TuningEntry> parse_ok(const std::string &line) {
    std::vector<TuningEntry> entries;
    std::string error;
    EXPECT_TRUE(parse_tuning_line(line, entries, error)) << line << ": " << error;
    return entries;
}

TEST(TuningLine, ReadsEntriesInLineOrder) {
    auto entries = parse_ok("2:0.50(64) 13:1.00(127) ");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].controller, 2);
    EXPECT_EQ(entries[0].data, 64);
    EXPECT_EQ(entries[1].controller, 13);
    EXPECT_EQ(entries[1].data, 127);

    // Pasted by hand: no trailing space, runs of blanks, a line end.
    entries = parse_ok("  0:0.00(0)\t\t127:1.00(127)\r\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].controller, 0);
    EXPECT_EQ(entries[0].data, 0);
    EXPECT_EQ(entries[1].controller, 127);
    EXPECT_EQ(entries[1].data, 127);
}

TEST(TuningLine, EmptyAndBlankLinesTuneNothing) {
    EXPECT_TRUE(parse_ok("").empty());
    EXPECT_TRUE(parse_ok(" \t ").empty());
}

TEST(TuningLine, MalformedEntriesAreNamedAndNothingIsReturned) {
    struct Case {
        const char *line;
        const char *entry;
        const char *reason;
    };
    const Case cases[] = {
        {"2:0.50(64) x", "'x'", "controller"},
        {"2-0.50(64)", "'2-0.50(64)'", "':'"},
        {"128:0.50(64)", "'128:0.50(64)'", "0 to 127"},
        {"1000:0.50(64)", "'1000:0.50(64)'", "0 to 127"},
        {"-2:0.50(64)", "'-2:0.50(64)'", "controller"},
        {"2:0.5(64)", "'2:0.5(64)'", "d.dd"},
        {"2:.50(64)", "'2:.50(64)'", "d.dd"},
        {"2:0.50", "'2:0.50'", "'('"},
        {"2:0.50(64", "'2:0.50(64'", "')'"},
        {"2:0.50()", "'2:0.50()'", "data byte"},
        {"2:1.01(128)", "'2:1.01(128)'", "data byte"},
        {"2:0.50(64)x", "'2:0.50(64)x'", "after ')'"},
        {"2:0.70(64)", "'2:0.70(64)'", "does not match data byte 64 (0.50)"},
        {"4:0.50(64) 4:0.50(64)", "'4:0.50(64)'", "twice"},
        {"2:0.50(64)13:1.00(127)", "'2:0.50(64)13:1.00(127)'", "after ')'"},
    };
    for (const Case &c : cases) {
        std::vector<TuningEntry> entries = {{1, 1}};
        std::string error;
        EXPECT_FALSE(parse_tuning_line(c.line, entries, error)) << c.line;
        EXPECT_TRUE(entries.empty()) << c.line;
        EXPECT_NE(error.find(c.entry), std::string::npos) << c.line << " -> " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.line << " -> " << error;
    }
}

} // namespace
