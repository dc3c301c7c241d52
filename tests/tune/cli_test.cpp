// tune-composer's command line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sndfile.h>
#include <string>
#include <unistd.h>

#include "audio_checks.h"

namespace {

const std::string kTool = TUNE_COMPOSER;

int run(const std::string &args, std::string *out = nullptr) {
    int status = -1;
    std::string o = tune_test::run_command("'" + kTool + "' " + args, &status);
    if (out) *out = o;
    return status;
}

TEST(Cli, UsageErrorsExitWithTwoAndHelpWithZero) {
    std::string out;
    EXPECT_EQ(run("--help", &out), 0);
    EXPECT_NE(out.find("--out"), std::string::npos);
    EXPECT_NE(out.find("--wav"), std::string::npos);
    EXPECT_NE(out.find("--hash"), std::string::npos);
    EXPECT_EQ(run("2>/dev/null"), 2); // nothing to do
    EXPECT_EQ(run("--bogus 2>/dev/null"), 2);
    EXPECT_EQ(run("--out 2>/dev/null"), 2); // missing file name
    EXPECT_EQ(run("--hash extra 2>/dev/null"), 2);
}

TEST(Cli, UnwritableOutputFailsWithOneBeforeRendering) {
    std::string err;
    EXPECT_EQ(run("--out /nonexistent-dir/tune.mp3 2>&1", &err), 1);
    EXPECT_NE(err.find("/nonexistent-dir/tune.mp3"), std::string::npos) << err;
    EXPECT_EQ(run("--wav /nonexistent-dir/tune.wav --hash 2>/dev/null"), 1);
}

TEST(Cli, HashAndWavDescribeTheSameCommittedRender) {
    const std::string wav =
        ::testing::TempDir() + "tune_cli_" + std::to_string(::getpid()) + ".wav";
    std::string out;
    ASSERT_EQ(run("--hash --wav '" + wav + "' 2>/dev/null", &out), 0);
    std::ifstream f(std::string(DEMO_SOURCE_DIR) + "/tools/tune/tune.hash");
    std::string expected;
    ASSERT_TRUE(f >> expected);
    EXPECT_EQ(out, expected + "\n");
    SF_INFO info{};
    SNDFILE *in = sf_open(wav.c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_GE(info.frames, 152 * 44100);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    sf_close(in);
    std::remove(wav.c_str());
}

} // namespace
