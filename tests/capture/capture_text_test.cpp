// What of demo-capture needs no core: the command line, the clipboard's tuning line, the frame
// plan and recorded frame times. What the end-to-end runs already show is not repeated here.
#include "frame_plan.h"
#include "options.h"
#include "tuning/tuning_line.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

constexpr auto npos = std::string::npos;

// A command line of words separated by single spaces.
bool parse(const std::string &line, CaptureOptions &options, std::string &error) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    std::vector<const char *> argv = {"demo-capture"};
    for (const std::string &word : words) argv.push_back(word.c_str());
    return parse_options(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(CaptureOptions, DefaultsAndOutputKinds) {
    CaptureOptions o;
    std::string error;
    ASSERT_TRUE(parse("--out frames --fps 29.97", o, error)) << error;
    EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(1920, 1080));
    EXPECT_DOUBLE_EQ(o.fps, 29.97);
    ASSERT_TRUE(parse("--out f --from 2 --to 2", o, error)) << "one frame";
    ASSERT_TRUE(parse("-o demo.MP4", o, error)) << error;
    EXPECT_EQ(o.out_kind, OutputKind::Mp4);
    ASSERT_TRUE(parse("--parameters --out -", o, error)) << error;
    EXPECT_EQ(o.out_kind, OutputKind::Csv);
    // The contact sheet renders at the scenes' own size unless asked.
    ASSERT_TRUE(parse("--contact-sheet sheet.png", o, error)) << error;
    EXPECT_EQ(std::make_pair(o.width, o.height), std::make_pair(1024, 512));
    // A single frame of a link's is at its time unless given; a video's span is the user's.
    ASSERT_TRUE(parse("--out x.png --link-file f --any-data", o, error)) << error;
    EXPECT_TRUE(o.link_gives_at && o.any_data && !o.has_at);
    ASSERT_TRUE(parse("--out x.png --link u --at 3", o, error) && !o.link_gives_at) << error;
    ASSERT_TRUE(parse("--out x.mp4 --link u", o, error) && !o.link_gives_at) << error;
    // --help wins over everything, even an otherwise bad line.
    ASSERT_TRUE(parse("--out x.png --help", o, error)) << error;
    EXPECT_EQ(o.mode, CaptureMode::Help);
}

TEST(CaptureOptions, RefusalsNameTheProblem) {
    // Command line and what the refusal says: one row per kind of refusal.
    const std::pair<const char *, const char *> cases[] = {
        {"", "nothing to do"},
        {"--frobnicate", "unknown argument --frobnicate"},
        {"--out", "--out needs a value"},
        {"--out f --size 1024x511", "smallest frame"},
        {"--out x.mp4 --crf 12abc", "--crf 12abc"},
        {"--out f --from 3 --to 2", "--from is after --to"},
        {"--out f --times t --fps 30", "--times replaces --fps"},
        {"--parameters --bench", "--bench cannot be combined with --parameters"},
        {"--bench --out b", "--out does not apply to --bench"},
        {"--out x.png", "needs --at"},
        {"--out x.png --at 1 --from 0", "--at names one frame"},
        {"--out f --at 1", "--at needs --out FILE.png"},
        {"--out x.mp4 --times t", "fixed rate"},
        {"--out f --crf 20", "--crf applies to an .mp4"},
        {"--out p.csv", "--parameters"},
        {"--parameters --out p.png", ".csv"},
        {"--shader s.shader", "--shader needs --out FILE.png"},
        {"--contact-sheet s.jpg", "is a .png file"},
        {"--render-only --out f", "--out does not go with it"},
        {"--out f --preset medium", "--preset applies to an .mp4"},
        {"--out x.mp4 --preset quick", "x264 preset"},
        {"--out x.mp4 --png-level 3", "--png-level applies to PNG"},
        {"--out f --png-level 10", "0 (fastest) to 9"},
        {"--bench-capture --out b", "--out does not apply to --bench-capture"},
        {"--out f --part 0/4", "1 <= K <= N"},
        {"--out f --part 5/4", "1 <= K <= N"},
        {"--out f --part 2", "K/N"},
        {"--out x.png --at 1 --part 1/2", "not with --at"},
        {"--out x.mp4 --part 1/2 --music m.mp3", "--music goes with --join"},
        {"--join 0 --out x.mp4", "--join 0"},
        {"--join 4 --out f", "--join needs --out FILE.mp4"},
        {"--join 2 --out x.mp4 --size 1024x512", "--size does not apply to --join"},
        {"--out f --link u --link-file f", "--link and --link-file exclude"},
        {"--out x.png --link u --tuning 2:0.50(64)", "not with --tuning"},
        {"--out f --any-data", "--any-data goes with --link"},
        {"--shader s --out x.png --link u", "--link does not apply to --shader"},
        {"--out x.png --link u --from 1", "needs --at"},
        {"--make-link u --from 3", "a link's loop is --from A --to B"},
        {"--out f --edits e", "--edits does not apply to a capture"},
    };
    for (const auto &[line, says] : cases) {
        CaptureOptions options;
        std::string error;
        EXPECT_FALSE(parse(line, options, error)) << line;
        EXPECT_NE(error.find(says), npos) << line << " -> " << error;
    }
}

TEST(TuningLine, ReadsHandPastedAndBlankLines) {
    std::vector<TuningEntry> entries;
    std::string error;
    ASSERT_TRUE(parse_tuning_line("  0:0.00(0)\t\t127:1.00(127)\r\n", entries, error)) << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].controller + entries[0].data, 0);
    EXPECT_EQ(entries[1].controller + entries[1].data, 254);
    EXPECT_TRUE(parse_tuning_line(" \t ", entries, error) && entries.empty()) << error;
}

TEST(TuningLine, MalformedEntryIsNamedAndNothingIsReturned) {
    // Line and reason, in pairs; the entry at fault is each line's last word.
    const std::string cases[] = {"2:0.50(64) x", "controller", "2-0.50(64)",          "':'",
                                 "2:0.5(64)",    "d.dd",       "128:0.50(64)",        "0 to 127",
                                 "2:0.50(64",    "')'",        "2:1.01(128)",         "data byte",
                                 "2:0.50(64)x",  "after ')'",  "2:0.70(64)",          "64 (0.50)",
                                 "2:0.50",       "'('",        "1:0.01(1) 1:0.01(1)", "twice"};
    for (std::size_t k = 0; k < std::size(cases); k += 2) {
        const std::string &line = cases[k], &reason = cases[k + 1];
        const std::string entry = "'" + line.substr(line.rfind(' ') + 1) + "'";
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

// The union of a split is the whole, byte for byte on the end-to-end farm run; here every split of
// an odd count, down to a frame a part.
TEST(FramePlan, PartsHoldEveryFrameOnceInOrder) {
    const FramePlan whole = plan_fixed_rate(60.0, {true, 1.0, true, 3.0}); // 121 frames
    for (int n : {1, 4, 7, 121}) {
        std::size_t next = whole.first_kept;
        for (int k = 1; k <= n; ++k) {
            const FramePlan part = plan_part(whole, k, n);
            EXPECT_EQ(part.first_kept, next) << k << "/" << n;
            EXPECT_EQ(part.kept(), 121u / n + (part.kept() > 121u / n)) << k << "/" << n;
            EXPECT_TRUE(std::equal(part.stamps.begin(), part.stamps.end(), whole.stamps.begin()));
            next = part.stamps.size();
        }
        EXPECT_EQ(next, whole.stamps.size()) << n;
    }
}

TEST(FrameTimes, OneWholeMillisecondValueALine) {
    std::istringstream good("0\n16\r\n\n  33  \n-5\n2147483647\n");
    std::vector<int32_t> times;
    std::string error;
    ASSERT_TRUE(read_frame_times(good, times, error)) << error;
    EXPECT_EQ(times, (std::vector<int32_t>{0, 16, 33, -5, 2147483647}));

    const std::pair<const char *, const char *> bad[] = {
        {"0\n12a\n", "line 2: '12a'"}, {"2147483648\n", "line 1"}, {"\n  \n", "no frame times"}};
    for (const auto &[input, message] : bad) {
        std::istringstream text(input);
        times = {1};
        EXPECT_FALSE(read_frame_times(text, times, error)) << input;
        EXPECT_TRUE(times.empty()) << input;
        EXPECT_NE(error.find(message), npos) << input << " -> " << error;
    }
}

} // namespace
