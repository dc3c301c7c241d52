// Which stamps a capture runs and keeps, and recorded frame times read from text.
#include "frame_plan.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

TEST(FramePlan, WholeRunEndsAfterTheFirstFramePastTheDemoLength) {
    const FramePlan plan = plan_fixed_rate(60.0, FrameRange{});
    ASSERT_EQ(plan.stamps.size(), 9062u);
    EXPECT_EQ(plan.first_kept, 0u);
    EXPECT_EQ(plan.stamps[0], 0);
    EXPECT_EQ(plan.stamps[1], 17);
    EXPECT_EQ(plan.stamps[2], 33);
    EXPECT_EQ(plan.stamps[3], 50);
    EXPECT_EQ(plan.stamps[9060], 151000);
    EXPECT_EQ(plan.stamps[9061], 151017);

    // 151000 itself is not past the end at 30 fps either.
    const FramePlan at_30 = plan_fixed_rate(30.0, FrameRange{});
    EXPECT_EQ(at_30.stamps[4530], 151000);
    EXPECT_EQ(at_30.stamps.back(), 151033);
    EXPECT_EQ(at_30.stamps.size(), 4532u);
    EXPECT_EQ(frame_time_ms(1, 29.97), 33);
    EXPECT_EQ(frame_time_ms(100, 29.97), 3337);
}

TEST(FramePlan, RangeRunsEveryEarlierFrameButKeepsOnlyItsOwn) {
    FrameRange range;
    range.has_from = range.has_to = true;
    range.from_s = 1.0;
    range.to_s = 1.1;
    const FramePlan plan = plan_fixed_rate(10.0, range);
    ASSERT_EQ(plan.stamps.size(), 12u);
    EXPECT_EQ(plan.first_kept, 10u);
    EXPECT_EQ(plan.kept(), 2u);
    EXPECT_EQ(plan.stamps[10], 1000);
    EXPECT_EQ(plan.stamps[11], 1100);

    // A --to past the demo's length goes on past it.
    range.has_from = false;
    range.to_s = 152.0;
    EXPECT_EQ(plan_fixed_rate(10.0, range).stamps.back(), 152000);

    // Nothing to keep after the end when only --from is given.
    range = FrameRange{};
    range.has_from = true;
    range.from_s = 200.0;
    EXPECT_EQ(plan_fixed_rate(60.0, range).kept(), 0u);
}

TEST(FramePlan, SingleFrameIsTheNearestOneReachedFromTheStart) {
    FramePlan plan = plan_single_frame(60.0, 37.7);
    ASSERT_EQ(plan.stamps.size(), 2263u);
    EXPECT_EQ(plan.kept(), 1u);
    EXPECT_EQ(plan.stamps.back(), 37700);
    plan = plan_single_frame(60.0, 1.009); // 60.54 frames: frame 61
    EXPECT_EQ(plan.stamps.back(), 1017);
    plan = plan_single_frame(60.0, 0.0);
    ASSERT_EQ(plan.stamps.size(), 1u);
    EXPECT_EQ(plan.first_kept, 0u);
}

TEST(FramePlan, RecordedTimesStallsIncluded) {
    const std::vector<int32_t> times = {0, 16, 33, 900, 900, 917, 2000, 2017};
    FramePlan plan = plan_recorded(times, FrameRange{});
    EXPECT_EQ(plan.stamps, times);
    EXPECT_EQ(plan.kept(), times.size());

    FrameRange range;
    range.has_from = range.has_to = true;
    range.from_s = 0.9;
    range.to_s = 1.0;
    plan = plan_recorded(times, range);
    EXPECT_EQ(plan.stamps, std::vector<int32_t>(times.begin(), times.begin() + 6));
    EXPECT_EQ(plan.first_kept, 3u);
}

TEST(FrameTimes, ReadsOneValueALine) {
    std::istringstream text("0\n16\r\n\n  33  \n-5\n2147483647\n");
    std::vector<int32_t> times;
    std::string error;
    ASSERT_TRUE(read_frame_times(text, times, error)) << error;
    EXPECT_EQ(times, (std::vector<int32_t>{0, 16, 33, -5, 2147483647}));
}

TEST(FrameTimes, RejectsWhatIsNotAWholeMillisecondValue) {
    const std::pair<const char *, const char *> cases[] = {
        {"0\n12a\n", "line 2: '12a'"}, {"0\n1.5\n", "line 2: '1.5'"},
        {"2147483648\n", "line 1"},    {"9999999999999999999999\n", "line 1"},
        {"0 16\n", "line 1: '0 16'"},  {"", "no frame times"},
        {"\n  \n", "no frame times"},
    };
    for (const auto &[input, message] : cases) {
        std::istringstream text(input);
        std::vector<int32_t> times;
        std::string error;
        EXPECT_FALSE(read_frame_times(text, times, error)) << input;
        EXPECT_TRUE(times.empty());
        EXPECT_NE(error.find(message), std::string::npos) << input << " -> " << error;
    }
}

} // namespace
