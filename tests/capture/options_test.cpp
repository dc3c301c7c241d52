// The command line: what each mode takes, its defaults, and every refusal naming its argument.
#include "options.h"

#include <gtest/gtest.h>
#include <initializer_list>

namespace {

bool parse(std::initializer_list<const char *> args, CaptureOptions &options, std::string &error) {
    std::vector<const char *> argv = {"demo-capture"};
    argv.insert(argv.end(), args);
    return parse_options(static_cast<int>(argv.size()), argv.data(), options, error);
}

CaptureOptions parse_ok(std::initializer_list<const char *> args) {
    CaptureOptions options;
    std::string error;
    EXPECT_TRUE(parse(args, options, error)) << error;
    return options;
}

TEST(CaptureOptions, ModesDefaultsAndOutputKinds) {
    CaptureOptions o = parse_ok({"--out", "frames"});
    EXPECT_EQ(o.mode, CaptureMode::Render);
    EXPECT_EQ(o.out_kind, OutputKind::Folder);
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);

    o = parse_ok({"--out", "demo.MP4", "--size", "1024x512", "--fps", "29.97", "--from", "1.5",
                  "--to", "3"});
    EXPECT_EQ(o.out_kind, OutputKind::Mp4);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 512);
    EXPECT_DOUBLE_EQ(o.fps, 29.97);
    EXPECT_DOUBLE_EQ(o.range.from_s, 1.5);
    EXPECT_DOUBLE_EQ(o.range.to_s, 3.0);

    o = parse_ok({"--at", "37.7", "-o", "x.png", "--tuning", ""});
    EXPECT_EQ(o.out_kind, OutputKind::Png);
    EXPECT_DOUBLE_EQ(o.at_s, 37.7);
    EXPECT_TRUE(o.has_tuning); // an empty line is still a line

    EXPECT_EQ(parse_ok({"--parameters", "--out", "-"}).out_kind, OutputKind::Csv);
    // The contact sheet renders at the scenes' own size unless asked.
    o = parse_ok({"--contact-sheet", "sheet.png"});
    EXPECT_EQ(o.mode, CaptureMode::ContactSheet);
    EXPECT_EQ(o.width, 1024);
    EXPECT_EQ(o.height, 512);
    // --help wins over everything, even an otherwise bad line.
    EXPECT_EQ(parse_ok({"--out", "x.png", "--help"}).mode, CaptureMode::Help);
}

TEST(CaptureOptions, RefusalsNameTheProblem) {
    struct Case {
        std::initializer_list<const char *> args;
        const char *message;
    };
    const Case cases[] = {
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
    for (const Case &c : cases) {
        CaptureOptions options;
        std::string error;
        std::string line;
        for (const char *arg : c.args) line += std::string(arg) + " ";
        EXPECT_FALSE(parse(c.args, options, error)) << line;
        EXPECT_NE(error.find(c.message), std::string::npos) << line << "-> " << error;
    }
}

} // namespace
