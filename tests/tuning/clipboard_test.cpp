// The clipboard through stand-in tools on PATH: which tool is chosen, what it is given, and that a
// missing, failing or hanging tool costs a false and nothing more.
#include "platform/clipboard.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ClipboardTools : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/clipboard-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("PATH", dir_.c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("DISPLAY");
    }
    void TearDown() override {
        std::string command = "/bin/rm -rf " + dir_;
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    // A tool that saves its arguments and its input next to itself, then runs the given tail.
    void add_tool(const std::string &name, const std::string &tail = "exit 0") {
        const std::string path = dir_ + "/" + name;
        std::ofstream(path) << "#!/bin/sh\n"
                            << "echo \"$*\" > " << dir_ << "/" << name << ".args\n"
                            << "/bin/cat > " << dir_ << "/" << name << ".in\n"
                            << "echo noise; echo noise >&2\n"
                            << tail << "\n";
        chmod(path.c_str(), 0755);
    }
    std::string saved(const std::string &file) {
        std::ifstream in(dir_ + "/" + file);
        if (!in) return "(none)";
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::string dir_;
};

} // namespace

TEST_F(ClipboardTools, X11UsesXclipOnTheClipboardSelectionAndPrintsNothing) {
    // Like xclip, the tool leaves a copy of itself behind, which is not waited for.
    add_tool("xclip", "/bin/sleep 3 & exit 0");
    add_tool("xsel");
    setenv("DISPLAY", ":99", 1);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_TRUE(copy_to_clipboard("2:0.50(64) "));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(saved("xclip.args"), "-selection clipboard\n");
    EXPECT_EQ(saved("xclip.in"), "2:0.50(64) ");
    EXPECT_EQ(saved("xsel.in"), "(none)");
}

TEST_F(ClipboardTools, XselStandsInOnlyWhenXclipIsMissing) {
    add_tool("xsel");
    setenv("DISPLAY", ":99", 1);
    EXPECT_TRUE(copy_to_clipboard("7:1.00(127) "));
    EXPECT_EQ(saved("xsel.args"), "--clipboard --input\n");
    EXPECT_EQ(saved("xsel.in"), "7:1.00(127) ");

    add_tool("xclip", "exit 1");
    EXPECT_FALSE(copy_to_clipboard("8:1.00(127) "));
    EXPECT_EQ(saved("xsel.in"), "7:1.00(127) ");
}

TEST_F(ClipboardTools, WaylandUsesWlCopyAsPlainText) {
    add_tool("wl-copy");
    add_tool("xclip");
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    setenv("DISPLAY", ":0", 1);
    EXPECT_TRUE(copy_to_clipboard("1:0.01(1) "));
    EXPECT_EQ(saved("wl-copy.args"), "--type text/plain\n");
    EXPECT_EQ(saved("wl-copy.in"), "1:0.01(1) ");
    EXPECT_EQ(saved("xclip.in"), "(none)");
}

TEST_F(ClipboardTools, NoDisplayNoToolOrAnEmptyLineLeaveTheClipboardAlone) {
    add_tool("xclip");
    EXPECT_FALSE(copy_to_clipboard("3:0.50(64) ")); // no display
    EXPECT_EQ(saved("xclip.in"), "(none)");
    setenv("DISPLAY", ":99", 1);
    EXPECT_TRUE(copy_to_clipboard(""));
    EXPECT_EQ(saved("xclip.in"), "(none)");
    unlink((dir_ + "/xclip").c_str());
    EXPECT_FALSE(copy_to_clipboard("3:0.50(64) ")); // no tool
}

TEST_F(ClipboardTools, AToolThatNeverExitsIsGivenUpOn) {
    add_tool("xclip", "exec /bin/sleep 30");
    setenv("DISPLAY", ":99", 1);
    EXPECT_FALSE(copy_to_clipboard("4:0.50(64) "));
    EXPECT_EQ(saved("xclip.in"), "4:0.50(64) ");
}
