// The parameter dump on the demo's own timeline, no GL. The whole run under irregular frame times
// (stalls included) and a tuning line, on past the demo's end into scene 9, is one golden digest:
// the clock's smoothing, the sequencer, every scene script's slots and the row format show in it.
// It was computed once from the build of this commit, whose clock, sequencer and scripts had been
// checked against values worked out by hand.
#include "parameter_dump.h"
#include "timeline_run.h"
#include "tuning/tuning_preload.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <sstream>

namespace {

// The rows under the header.
std::vector<std::string> dump(const FramePlan &plan) {
    std::FILE *file = std::tmpfile();
    EXPECT_TRUE(dump_parameters(plan, file));
    std::rewind(file);
    std::vector<std::string> rows;
    char line[1024];
    while (std::fgets(line, sizeof line, file)) rows.push_back(line);
    std::fclose(file);
    EXPECT_EQ(rows.empty() ? "" : rows[0], std::string(ParameterHeader) + "\n");
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

uint64_t digest(const std::vector<std::string> &rows) {
    uint64_t hash = 14695981039346656037ull; // FNV-1a 64
    for (const std::string &row : rows)
        for (unsigned char c : row) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

TEST(ParameterDump, TheWholeTimelineTunedUnderIrregularFramesMatchesItsGoldenDigest) {
    // Frames 1 to 40 ms apart from a fixed generator, and a 700 ms stall every 500 frames.
    std::vector<int32_t> times;
    uint32_t x = 1;
    for (int32_t now = 0; now < 156000; now += 1 + (x >> 24) % 40 + (times.size() % 500 ? 0 : 700))
        times.push_back(now), x = x * 1664525u + 1013904223u;
    // Some of the controllers the scripts read; the others keep their defaults.
    std::string error;
    ASSERT_TRUE(
        preload_tuning_line(Tuning, "2:0.50(64) 5:0.79(100) 8:0.10(13) 12:0.33(42) ", error))
        << error;
    const std::vector<std::string> rows = dump(plan_recorded(times, FrameRange{}));
    forget_tuning();
    EXPECT_EQ(rows.size(), times.size());
    EXPECT_EQ(rows.back().substr(rows.back().find(',', rows.back().find(',') + 1), 3), ",9,");
    EXPECT_EQ(digest(rows), 16688327758176358401ull);
}

TEST(ParameterDump, RangesGiveTheWholeRunsRows) {
    const std::vector<std::string> whole = dump(plan_fixed_rate(60.0, FrameRange{}));
    ASSERT_EQ(whole.size(), 9062u); // the loop's last frame is the first past 151 s
    for (std::size_t k = 0; k < whole.size(); k += 7)
        ASSERT_EQ(std::stol(whole[k]), std::llround(k * 1000.0 / 60.0)) << k;
    // A range starts late but has run every earlier frame; both ends are inclusive.
    const std::vector<std::string> part = dump(plan_fixed_rate(60.0, {true, 40.0, true, 41.0}));
    EXPECT_EQ(part, std::vector<std::string>(whole.begin() + 2400, whole.begin() + 2461));
}

TEST(ParameterDump, TuningIsAppliedWholeOrNotAtAllAndTakesEveryExportedLine) {
    // A lone frame at 265750 ms is scene 3, whose slot 4 is controller 2 (default 0.2).
    auto slot_4 = [] {
        const std::string row = dump(plan_recorded({265750}, FrameRange{})).at(0);
        std::istringstream columns(row);
        std::string cell;
        for (int i = 0; i < 9; ++i) std::getline(columns, cell, ',');
        return std::stof(cell);
    };
    std::string error;
    EXPECT_FALSE(preload_tuning_line(Tuning, "2:0.50(64) 3:0.50(6x)", error));
    EXPECT_EQ(slot_4(), 0.2f);
    // What the demo exports: every controller, and (37 being odd) every data byte once.
    TuningBank live(TuningBank::no_devices);
    for (int c = 0; c < 128; ++c)
        live.receive(0xB0, static_cast<unsigned char>(c), static_cast<unsigned char>(c * 37 % 128));
    char line[TunedValuesLineSize];
    format_tuned_values(live, line, sizeof line);
    ASSERT_TRUE(preload_tuning_line(Tuning, line, error)) << error;
    for (int c = 0; c < 128; ++c)
        EXPECT_TRUE(Tuning.is_touched(c) && Tuning.value(c) == live.value(c)) << c;
    EXPECT_EQ(slot_4(), live.value(2));
    forget_tuning();
}

} // namespace
