// What of demo-capture needs no core: the command line, the clipboard's tuning line, the frame
// plan and recorded frame times. What the end-to-end runs already show is not repeated here.
#include "frame_plan.h"
#include "options.h"
#include "tuning/tuning_line.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <sstream>

namespace {

using Args = std::initializer_list<const char *>;
constexpr auto npos = std::string::npos;

bool parse(Args args, CaptureOptions &options, std::string &error) {
    std::vector<const char *> argv = {"demo-capture"};
    argv.insert(argv.end(), args);
    return parse_options(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(CaptureOptions, DefaultsAndOutputKinds) {
    CaptureOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--out", "frames", "--fps", "29.97"}, o, error)) << error;
    EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(1920, 1080));
    EXPECT_DOUBLE_EQ(o.fps, 29.97);
    ASSERT_TRUE(parse({"--out", "f", "--from", "2", "--to", "2"}, o, error)) << "one frame";
    ASSERT_TRUE(parse({"-o", "demo.MP4"}, o, error)) << error;
    EXPECT_EQ(o.out_kind, OutputKind::Mp4);
    ASSERT_TRUE(parse({"--parameters", "--out", "-"}, o, error)) << error;
    EXPECT_EQ(o.out_kind, OutputKind::Csv);
    // The contact sheet renders at the scenes' own size unless asked.
    ASSERT_TRUE(parse({"--contact-sheet", "sheet.png"}, o, error)) << error;
    EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(1024, 512));
    // --help wins over everything, even an otherwise bad line.
    ASSERT_TRUE(parse({"--out", "x.png", "--help"}, o, error)) << error;
    EXPECT_EQ(o.mode, CaptureMode::Help);
}

TEST(CaptureOptions, RefusalsNameTheProblem) {
    // An aggregate, so that each argument list lives as long as the table.
    const struct {
        Args args;
        const char *message;
    } cases[] = {
        {{}, "nothing to do"},
        {{"--frobnicate"}, "unknown argument --frobnicate"},
        {{"--out"}, "--out needs a value"},
        {{"--out", "f", "--size", "1000x512"}, "smallest frame is 1024x512"},
        {{"--out", "f", "--size", "1024x511"}, "smallest frame"},
        {{"--out", "f", "--size", "1024*512"}, "WIDTHxHEIGHT"},
        {{"--out", "f", "--size", "9000x512"}, "largest side"},
        {{"--out", "f", "--fps", "0"}, "--fps 0"},
        {{"--out", "f", "--fps", "sixty"}, "--fps sixty"},
        {{"--out", "f", "--from", "-1"}, "--from -1"},
        {{"--out", "f", "--to", "nan"}, "--to nan"},
        {{"--out", "f", "--from", "3", "--to", "2"}, "--from is after --to"},
        {{"--out", "x.png"}, "needs --at"},
        {{"--out", "x.png", "--at", "1", "--from", "0"}, "--at names one frame"},
        {{"--out", "frames", "--at", "1"}, "--at needs --out FILE.png"},
        {{"--out", "x.mp4", "--times", "t.txt"}, "fixed rate"},
        {{"--out", "f", "--times", "t.txt", "--fps", "30"}, "--times replaces --fps"},
        {{"--out", "f", "--crf", "20"}, "--crf applies to an .mp4"},
        {{"--out", "x.mp4", "--crf", "52"}, "--crf 52"},
        {{"--out", "x.mp4", "--crf", "12abc"}, "--crf 12abc"},
        {{"--out", "p.csv"}, "--parameters"},
        {{"--parameters", "--bench"}, "--bench cannot be combined with --parameters"},
        {{"--parameters", "--out", "p.png"}, ".csv"},
        {{"--parameters", "--size", "1024x512"}, "--size does not apply to --parameters"},
        {{"--bench", "--out", "b"}, "--out does not apply to --bench"},
        {{"--bench", "--times", "t"}, "--times does not apply to --bench"},
        {{"--shader", "s.shader"}, "--shader needs --out FILE.png"},
        {{"--shader", "s.shader", "--out", "s.png", "--tuning", ""}, "--tuning does not apply"},
        {{"--contact-sheet", "sheet.jpg"}, "is a .png file"},
        {{"--contact-sheet", "s.png", "--at", "3"}, "--at does not apply to --contact-sheet"},
        {{"--out", "f", "--cell", "100"}, "--cell does not apply"},
        {{"--parameters", "--bench-frames", "2"}, "--bench-frames does not apply"},
    };
    for (const auto &c : cases) {
        CaptureOptions options;
        std::string error, line;
        for (const char *arg : c.args) line += std::string(arg) + " ";
        EXPECT_FALSE(parse(c.args, options, error)) << line;
        EXPECT_NE(error.find(c.message), npos) << line << "-> " << error;
    }
}

TEST(TuningLine, ReadsHandPastedAndBlankLines) {
    const std::pair<const char *, const char *> cases[] = {
        {"  0:0.00(0)\t\t127:1.00(127)\r\n", "0/0 127/127 "}, // pasted by hand
        {"", ""},
        {" \t ", ""},
    };
    for (const auto &[line, expected] : cases) {
        std::vector<TuningEntry> entries;
        std::string error, read;
        EXPECT_TRUE(parse_tuning_line(line, entries, error)) << line << ": " << error;
        for (const TuningEntry &e : entries)
            read += std::to_string(e.controller) + "/" + std::to_string(e.data) + " ";
        EXPECT_EQ(read, expected) << line;
    }
}

TEST(TuningLine, MalformedEntryIsNamedAndNothingIsReturned) {
    // The entry at fault is each line's last word.
    const std::pair<const char *, const char *> cases[] = {
        {"2:0.50(64) x", "controller"},      {"2-0.50(64)", "':'"},
        {"-2:0.50(64)", "controller"},       {"2:0.5(64)", "d.dd"},
        {"128:0.50(64)", "0 to 127"},        {"2:.50(64)", "d.dd"},
        {"1000:0.50(64)", "0 to 127"},       {"2:0.50", "'('"},
        {"2:1.01(128)", "data byte"},        {"2:0.50(64", "')'"},
        {"2:0.50(64)x", "after ')'"},        {"2:0.50()", "data byte"},
        {"1:0.01(1)2:0.02(2)", "after ')'"}, {"2:0.70(64)", "64 (0.50)"},
        {"1:0.01(1) 1:0.01(1)", "twice"},
    };
    for (const auto &[line, reason] : cases) {
        const std::string text = line;
        const std::string entry = "'" + text.substr(text.rfind(' ') + 1) + "'";
        std::vector<TuningEntry> entries = {{1, 1}};
        std::string error;
        EXPECT_FALSE(parse_tuning_line(line, entries, error)) << line;
        EXPECT_TRUE(entries.empty()) << line;
        EXPECT_NE(error.find(entry), npos) << line << " -> " << error;
        EXPECT_NE(error.find(reason), npos) << line << " -> " << error;
    }
}

// The whole run at a fixed rate and a --from/--to range are checked row by row through the
// parameter dump; that a single frame runs every frame before it, through the PNG capture.
TEST(FramePlan, RangeEndsNearestFrameAndRecordedTimes) {
    // FrameRange is {has_from, from_s, has_to, to_s}.
    EXPECT_EQ(frame_time_ms(100, 29.97), 3337);
    // A --to past the demo's length goes on past it; a --from past it keeps nothing.
    EXPECT_EQ(plan_fixed_rate(10.0, {false, 0.0, true, 152.0}).stamps.back(), 152000);
    EXPECT_EQ(plan_fixed_rate(60.0, {true, 200.0, false, 0.0}).kept(), 0u);
    EXPECT_EQ(plan_single_frame(60.0, 1.009).stamps.back(), 1017); // 60.54 frames: frame 61
    // Recorded times, stalls included: a range keeps its own and runs nothing after it.
    const std::vector<int32_t> times = {0, 16, 33, 900, 900, 917, 2000, 2017};
    const FramePlan plan = plan_recorded(times, {true, 0.9, true, 1.0});
    EXPECT_EQ(plan.stamps, std::vector<int32_t>(times.begin(), times.begin() + 6));
    EXPECT_EQ(plan.first_kept, 3u);
}

TEST(FrameTimes, OneWholeMillisecondValueALine) {
    std::istringstream good("0\n16\r\n\n  33  \n-5\n2147483647\n");
    std::vector<int32_t> times;
    std::string error;
    ASSERT_TRUE(read_frame_times(good, times, error)) << error;
    EXPECT_EQ(times, (std::vector<int32_t>{0, 16, 33, -5, 2147483647}));

    const std::pair<const char *, const char *> bad[] = {
        {"0\n12a\n", "line 2: '12a'"}, {"0\n1.5\n", "line 2: '1.5'"},
        {"2147483648\n", "line 1"},    {"9999999999999999999999\n", "line 1"},
        {"0 16\n", "line 1: '0 16'"},  {"", "no frame times"},
        {"\n  \n", "no frame times"},
    };
    for (const auto &[input, message] : bad) {
        std::istringstream text(input);
        times = {1};
        EXPECT_FALSE(read_frame_times(text, times, error)) << input;
        EXPECT_TRUE(times.empty()) << input;
        EXPECT_NE(error.find(message), npos) << input << " -> " << error;
    }
}

} // namespace
