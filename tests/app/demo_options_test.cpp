// The demo's command line: what runs, what is help, and a one-line reason for everything else.
#include "app/demo_options.h"
#include "gfx/data_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

DemoOptionsOutcome parse(std::vector<const char *> args, DemoOptions *options, std::string *why) {
    args.insert(args.begin(), "demo");
    why->clear();
    return parse_demo_options(static_cast<int>(args.size()), args.data(), options, *why);
}

TEST(DemoOptions, ReadsTheStudioAndTheDataFolder) {
    DemoOptions o;
    std::string why;
    ASSERT_EQ(parse({}, &o, &why), DEMO_OPTIONS_RUN);
    EXPECT_EQ(o.studio, 0);
    EXPECT_EQ(o.data_dir, nullptr);
    ASSERT_EQ(parse({"--from=101.5", "--studio", "--loop", "100:110", "--fullscreen", "--data",
                     "/usr/share/x"},
                    &o, &why),
              DEMO_OPTIONS_RUN)
        << why;
    EXPECT_EQ(o.studio + o.fullscreen, 2);
    EXPECT_EQ(o.from_ms, 101500);
    EXPECT_EQ(o.loop_from_ms, 100000);
    EXPECT_EQ(o.loop_to_ms, 110000);
    EXPECT_STREQ(o.data_dir, "/usr/share/x");
    ASSERT_EQ(parse({"--tuning-file", "t.txt", "--studio", "--pickup", "--paused"}, &o, &why),
              DEMO_OPTIONS_RUN);
    EXPECT_TRUE(o.pickup && o.start_paused && !o.tuning_line &&
                std::string(o.tuning_file) == "t.txt");
    EXPECT_EQ(parse({"--studio", "--help"}, &o, &why), DEMO_OPTIONS_HELP);
}

TEST(DemoOptions, RefusesBadInputWithAReason) {
    const struct {
        std::vector<const char *> args;
        const char *reason;
    } cases[] = {
        {{"--studio", "--from", "152.5"}, "--from: \"152.5\" is not a time from 0 to 152 s"},
        {{"--studio", "--from", "-1"}, "--from: \"-1\""},
        {{"--studio", "--from", "nan"}, "--from: \"nan\""},
        {{"--studio", "--loop", "9:3"}, "--loop: 9:3 ends before it starts"},
        {{"--studio", "--loop", "x"}, "--loop: \"x\" is not A:B"},
        {{"--studio", "--from", "1", "--from", "2"}, "--from is given more than once"},
        {{"--studio", "--studio"}, "--studio is given more than once"},
        {{"--from", "3"}, "--from needs --studio"},
        {{"--fullscreen"}, "--fullscreen needs --studio"},
        {{"--studio", "--from"}, "--from needs a value"},
        {{"--studio=1"}, "--studio takes no value"},
        {{"--speed", "2"}, "unknown option \"--speed\""},
        {{"--data", ""}, "--data: the folder name is empty"},
        {{"--studio", "--loop", "10:20", "--from", "30"}, "--from must lie inside"},
        {{"--tuning", "", "--tuning-file", "t"}, "--tuning and --tuning-file exclude each other"},
        {{"--tuning-file", ""}, "--tuning-file: the file name is empty"},
        {{"--pickup"}, "--pickup needs --studio"},
        {{"--link", "u"}, "--link needs --studio"},
        {{"--studio", "--link", "u", "--link-file", "f"}, "--link and --link-file exclude"},
        {{"--studio", "--link-file", "f", "--tuning-file", "t"},
         "--link-file brings its own tuning: not with --tuning-file"},
        {{"--studio", "--any-data"}, "--any-data goes with --link or --link-file"},
    };
    for (const auto &c : cases) {
        DemoOptions o;
        std::string why;
        EXPECT_EQ(parse(c.args, &o, &why), DEMO_OPTIONS_BAD) << c.reason;
        EXPECT_EQ(why.rfind(c.reason, 0), 0u) << why;
        EXPECT_EQ(why.find('\n'), std::string::npos);
    }
}

// A folder of any length the demo takes reaches every file whole; a longer one is refused.
TEST(DataFolder, IsTakenWholeOrRefused) {
    const char *names[] = {
#include "gfx/scene_shader_files.inc"
        MusicFileName, "credits.tga"};
    std::string reason;
    const std::string longest = std::string(DataDirMax - 1, 'd') + "/";
    ASSERT_TRUE(data_dir_set(longest.c_str(), reason));
    for (const char *name : names) {
        EXPECT_LE(std::strlen(name), DataFileNameMax) << name;
        EXPECT_EQ(data_path(name).text, longest + name);
    }
    ASSERT_TRUE(data_dir_set("x", reason));
    EXPECT_STREQ(data_path("a.shader").text, "x/a.shader");
    EXPECT_FALSE(data_dir_set((longest + "d").c_str(), reason));
    EXPECT_STREQ(data_dir(), "x");
    EXPECT_EQ(reason.rfind("--data: the folder name is 4064 characters long", 0), 0u) << reason;
    // The shaders follow the data folder until a folder of their own is set.
    EXPECT_STREQ(shader_path("a.shader").text, "x/a.shader");
    ASSERT_TRUE(shader_dir_set("links/1", reason));
    EXPECT_STREQ(shader_path("a.shader").text, "links/1/a.shader");
    EXPECT_STREQ(data_path("a.shader").text, "x/a.shader");
    ASSERT_TRUE(shader_dir_set(nullptr, reason) && data_dir_set(nullptr, reason));
    EXPECT_STREQ(shader_dir(), "data");
}

} // namespace
