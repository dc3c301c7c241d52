// The parameter dump on the demo's own timeline, no GL: known values, the clock column, and that
// ranges, recorded times and tuning give exactly what a plain run gives.
#include "parameter_dump.h"
#include "timeline_run.h"
#include "tuning/tuned_values_export.h"
#include "tuning/tuning_bank.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct Row {
    std::string text;
    int32_t now;
    float clock;
    int scene;
    float local;
    float p[16];
};

std::vector<Row> dump(const FramePlan &plan) {
    std::FILE *file = std::tmpfile();
    EXPECT_TRUE(dump_parameters(plan, file));
    std::rewind(file);
    std::vector<Row> rows;
    char line[1024];
    EXPECT_TRUE(std::fgets(line, sizeof line, file));
    EXPECT_EQ(std::string(line), std::string(ParameterHeader) + "\n");
    while (std::fgets(line, sizeof line, file)) {
        Row row;
        row.text = line;
        char *at = line;
        row.now = static_cast<int32_t>(std::strtol(at, &at, 10));
        row.clock = std::strtof(at + 1, &at);
        row.scene = static_cast<int>(std::strtol(at + 1, &at, 10));
        row.local = std::strtof(at + 1, &at);
        for (float &p : row.p) p = std::strtof(at + 1, &at);
        EXPECT_STREQ(at, "\n");
        rows.push_back(row);
    }
    std::fclose(file);
    return rows;
}

std::vector<Row> dump_times(std::vector<int32_t> times) {
    return dump(plan_recorded(times, FrameRange{}));
}

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ParameterDump, ClockColumnOfAWholeRunAt60Fps) {
    const std::vector<Row> rows = dump(plan_fixed_rate(60.0, FrameRange{}));
    ASSERT_EQ(rows.size(), 9062u);
    for (std::size_t k = 0; k < rows.size(); ++k)
        ASSERT_EQ(rows[k].now, static_cast<int32_t>(std::llround(k * 1000.0 / 60.0))) << k;
    EXPECT_EQ(rows[0].clock, -0.15f);
    EXPECT_EQ(rows[0].scene, 1);
    // Each frame adds a fifth of the last five frames' span: 17 / 5 ms after frame 0.
    EXPECT_EQ(rows[1].clock, static_cast<float>(17 * static_cast<double>(0.001f) / 5.0 - 0.15f));
    // The loop never reaches scene 9; it ends in scene 8 with the clock just short of 151.
    EXPECT_EQ(rows.back().scene, 8);
    EXPECT_GT(rows.back().clock, 150.8f);
    EXPECT_LT(rows.back().clock, 151.0f);
    for (std::size_t k = 1; k < rows.size(); ++k) ASSERT_GE(rows[k].scene, rows[k - 1].scene);
}

TEST(ParameterDump, KnownValuesAtSceneStarts) {
    // A single frame at 189250 ms puts the clock exactly on 37.7f: scene 2 at local time 0.
    std::vector<Row> rows = dump_times({189250});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].clock, 37.7f);
    EXPECT_EQ(rows[0].scene, 2);
    EXPECT_EQ(rows[0].local, 0.0f);
    EXPECT_EQ(rows[0].p[0], 0.0f);
    EXPECT_EQ(rows[0].p[9], 1.6f);
    EXPECT_NEAR(rows[0].p[12], 0.8869, 1e-4);
    EXPECT_NEAR(rows[0].p[13], -0.4619, 1e-4);

    rows = dump_times({448250}); // clock 89.5 plus one step of float
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].scene, 7);
    EXPECT_LT(rows[0].local, 1e-5f);
    EXPECT_EQ(rows[0].p[2], -1.0f);
    EXPECT_EQ(rows[0].p[14], -2.7f);
}

TEST(ParameterDump, RangesAndRecordedTimesMatchAPlainRun) {
    const std::vector<Row> whole = dump(plan_fixed_rate(60.0, FrameRange{}));

    // A range starts late but has run every earlier frame: its rows are the plain run's rows.
    FrameRange range;
    range.has_from = range.has_to = true;
    range.from_s = 40.0;
    range.to_s = 41.0;
    const std::vector<Row> part = dump(plan_fixed_rate(60.0, range));
    ASSERT_EQ(part.size(), 61u); // both ends inclusive
    std::size_t first = 0;
    while (whole[first].now < 40000) ++first;
    for (std::size_t i = 0; i < part.size(); ++i) EXPECT_EQ(part[i].text, whole[first + i].text);

    // The same stamps given as recorded times.
    std::vector<int32_t> times;
    for (std::size_t k = 0; k < 600; ++k) times.push_back(whole[k].now);
    const std::vector<Row> replay = dump_times(times);
    ASSERT_EQ(replay.size(), 600u);
    for (std::size_t k = 0; k < replay.size(); ++k) EXPECT_EQ(replay[k].text, whole[k].text);

    // A stall is caught up over five frames, so the picture does not jump.
    times.push_back(times.back() + 1000);
    const std::vector<Row> stalled = dump_times(times);
    const float step = stalled[600].clock - stalled[599].clock;
    EXPECT_GT(step, 0.2f);
    EXPECT_LT(step, 0.25f);
}

TEST(ParameterDump, FloatsReadBackBitForBit) {
    const float values[16] = {0.1f,  1.6f,     -2.7f,   1.0f / 3.0f, 3.4028235e38f, 1e-40f,
                              -0.0f, 0.0f,     7e-8f,   123456.79f,  -1e-30f,       0.8869141f,
                              37.7f, -0.4619f, 1.0e10f, 6.0f};
    const std::string row = parameter_row(-5, 89.5000076f, 7, 7.62939453e-06f, values);
    const char *at = row.c_str();
    char *end = nullptr;
    EXPECT_EQ(std::strtol(at, &end, 10), -5);
    EXPECT_TRUE(same_bits(std::strtof(end + 1, &end), 89.5000076f));
    EXPECT_EQ(std::strtol(end + 1, &end, 10), 7);
    EXPECT_TRUE(same_bits(std::strtof(end + 1, &end), 7.62939453e-06f));
    for (float value : values) EXPECT_TRUE(same_bits(std::strtof(end + 1, &end), value)) << value;
    EXPECT_EQ(*end, '\0');
}

// 265750 ms alone puts the clock at 53.0: scene 3, whose slot 4 is controller 2 (default 0.2).
float scene_3_slot_4() {
    const std::vector<Row> rows = dump_times({265750});
    EXPECT_EQ(rows.at(0).scene, 3);
    return rows.at(0).p[4];
}

TEST(ParameterDump, TuningLineIsAppliedWholeOrNotAtAll) {
    std::string error;
    EXPECT_FALSE(apply_tuning("2:0.50(64) 3:0.50(6x)", error));
    EXPECT_NE(error.find("'3:0.50(6x)'"), std::string::npos) << error;
    EXPECT_FALSE(Tuning.is_touched(2));
    EXPECT_EQ(scene_3_slot_4(), 0.2f);

    ASSERT_TRUE(apply_tuning("2:0.50(64) ", error)) << error;
    EXPECT_EQ(scene_3_slot_4(), static_cast<float>(64 / 127.0));
    forget_tuning();
    EXPECT_EQ(scene_3_slot_4(), 0.2f);
}

TEST(ParameterDump, WhatTheDemoExportsIsWhatTheToolApplies) {
    // Every controller, and (37 being odd) every data byte once.
    TuningBank live(TuningBank::no_devices);
    for (int c = 0; c < 128; ++c)
        live.receive(0xB0, static_cast<unsigned char>(c), static_cast<unsigned char>(c * 37 % 128));
    char line[TunedValuesLineSize];
    format_tuned_values(live, line, sizeof line);
    std::string error;
    ASSERT_TRUE(apply_tuning(line, error)) << error;
    for (int c = 0; c < 128; ++c) {
        EXPECT_TRUE(Tuning.is_touched(c)) << c;
        EXPECT_EQ(Tuning.value(c), live.value(c)) << c;
    }
    forget_tuning();
}

} // namespace
