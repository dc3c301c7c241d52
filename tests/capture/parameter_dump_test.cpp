// The parameter dump on the demo's own timeline, no GL: known values, and that ranges, recorded
// times and tuning give exactly what a plain run gives. The clock's own arithmetic is
// tests/timeline's.
#include "parameter_dump.h"
#include "timeline_run.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// A row as written, and its columns read back as floats (every stamp used here is exact in one).
// The exact comparisons below also hold the writer to floats that read back bit for bit.
enum Column { Now, Clock, Scene, Local, P0 };
struct Row {
    std::string text;
    float v[P0 + 16];
};

Row read_row(const std::string &line) {
    Row row{line, {}};
    char *at = nullptr;
    for (int i = 0; i < P0 + 16; ++i) row.v[i] = std::strtof(i ? at + 1 : line.c_str(), &at);
    EXPECT_STREQ(at, "\n") << line;
    return row;
}

std::vector<Row> dump(const FramePlan &plan) {
    std::FILE *file = std::tmpfile();
    EXPECT_TRUE(dump_parameters(plan, file));
    std::rewind(file);
    char line[1024];
    EXPECT_TRUE(std::fgets(line, sizeof line, file));
    EXPECT_EQ(std::string(line), std::string(ParameterHeader) + "\n");
    std::vector<Row> rows;
    while (std::fgets(line, sizeof line, file)) rows.push_back(read_row(line));
    std::fclose(file);
    return rows;
}

// The row of a lone frame run from the start at loop time `now`.
Row dump_at(int32_t now) {
    const std::vector<Row> rows = dump(plan_recorded({now}, FrameRange{}));
    EXPECT_EQ(rows.size(), 1u);
    return rows.empty() ? Row{} : rows[0];
}

TEST(ParameterDump, RangesAndRecordedTimesMatchAWholeRun) {
    const std::vector<Row> whole = dump(plan_fixed_rate(60.0, FrameRange{}));
    ASSERT_EQ(whole.size(), 9062u);
    for (std::size_t k = 0; k < whole.size(); ++k)
        ASSERT_EQ(whole[k].v[Now], std::llround(k * 1000.0 / 60.0)) << k;
    // The loop never reaches scene 9; it ends in scene 8 with the clock just short of 151.
    EXPECT_EQ(whole.back().v[Scene], 8);
    EXPECT_GT(whole.back().v[Clock], 150.8f);
    EXPECT_LT(whole.back().v[Clock], 151.0f);

    // A range starts late but has run every earlier frame: its rows are the whole run's rows.
    const std::vector<Row> part = dump(plan_fixed_rate(60.0, {true, 40.0, true, 41.0}));
    ASSERT_EQ(part.size(), 61u); // both ends inclusive, from frame 2400 at 40000 ms
    for (std::size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i].text, whole[2400 + i].text);

    // The same stamps given as recorded times.
    std::vector<int32_t> times;
    for (std::size_t k = 0; k < 600; ++k) times.push_back(static_cast<int32_t>(whole[k].v[Now]));
    const std::vector<Row> replay = dump(plan_recorded(times, FrameRange{}));
    ASSERT_EQ(replay.size(), 600u);
    for (std::size_t k = 0; k < replay.size(); ++k) EXPECT_EQ(replay[k].text, whole[k].text);
}

TEST(ParameterDump, KnownValuesAtSceneStarts) {
    // Lone frames at 189250 and 448250 ms put the clock on 37.7f, where scene 2 begins, and one
    // float step past 89.5f, where scene 7 begins.
    Row row = dump_at(189250);
    EXPECT_EQ(row.v[Clock], 37.7f);
    EXPECT_EQ(row.v[P0 + 9], 1.6f);
    EXPECT_NEAR(row.v[P0 + 12], 0.8869, 1e-4);
    row = dump_at(448250);
    EXPECT_EQ(row.v[Scene], 7);
    EXPECT_EQ(row.v[Local], std::nextafter(89.5f, 90.0f) - 89.5f);
    EXPECT_EQ(row.v[P0 + 0], row.v[Local]);
    EXPECT_EQ(row.v[P0 + 14], -2.7f);
}

TEST(ParameterDump, TuningIsAppliedWholeOrNotAtAllAndReachesTheScenes) {
    // A lone frame at 265750 ms is scene 3, whose slot 4 is controller 2 (default 0.2).
    auto slot_4 = [] { return dump_at(265750).v[P0 + 4]; };
    std::string error;
    EXPECT_FALSE(apply_tuning("2:0.50(64) 3:0.50(6x)", error));
    EXPECT_FALSE(Tuning.is_touched(2));
    EXPECT_EQ(slot_4(), 0.2f);

    // What the demo exports: every controller, and (37 being odd) every data byte once.
    TuningBank live(TuningBank::no_devices);
    for (int c = 0; c < 128; ++c)
        live.receive(0xB0, static_cast<unsigned char>(c), static_cast<unsigned char>(c * 37 % 128));
    char line[TunedValuesLineSize];
    format_tuned_values(live, line, sizeof line);
    ASSERT_TRUE(apply_tuning(line, error)) << error;
    for (int c = 0; c < 128; ++c)
        EXPECT_TRUE(Tuning.is_touched(c) && Tuning.value(c) == live.value(c)) << c;
    EXPECT_EQ(slot_4(), live.value(2));
    forget_tuning();
    EXPECT_EQ(slot_4(), 0.2f);
}

} // namespace
