// The clipboard through stand-in tools on PATH: which tool is chosen, what it is given, that their
// output goes nowhere, and that a missing, failing or hanging tool costs a false and nothing more.
#include "platform/clipboard.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// Each tool saves its arguments and its input beside itself, prints noise, then runs its tail.
struct Tool {
    const char *name, *args, *tail;
};

struct Case {
    const char *wayland, *display;
    std::vector<Tool> tools;
    const char *text;
    bool copied;
    const char *used; // the tool that must get the text, if any
};

std::string saved(const std::string &path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

} // namespace

TEST(ClipboardTools, TheRightToolGetsTheTextQuietlyAndAFailureCostsAFalse) {
    const char *cc = "-selection clipboard";
    const Tool xclip{"xclip", cc, "exit 0"}, xsel{"xsel", "--clipboard --input", "exit 0"};
    const Tool wl_copy{"wl-copy", "--type text/plain", "exit 0"};
    // Like xclip, one leaves a copy of itself behind, which is not waited for.
    const Tool xclip_forks{"xclip", cc, "/bin/sleep 3 & exit 0"};
    const Tool xclip_fails{"xclip", cc, "exit 1"}, xclip_hangs{"xclip", cc, "exec /bin/sleep 30"};
    const Case cases[] = {
        {nullptr, ":99", {xclip_forks, xsel}, "2:0.50(64) ", true, "xclip"},
        {nullptr, ":99", {xsel}, "7:1.00(127) ", true, "xsel"},                // xclip missing
        {nullptr, ":99", {xclip_fails, xsel}, "8:1.00(127) ", false, "xclip"}, // xsel untried
        {nullptr, ":99", {xclip_hangs}, "4:0.50(64) ", false, "xclip"},        // given up on
        {"wayland-0", ":0", {wl_copy, xclip}, "1:0.01(1) ", true, "wl-copy"},
        {"wayland-0", ":0", {xclip}, "1:0.01(1) ", true, "xclip"},  // XWayland without wl-copy
        {nullptr, nullptr, {xclip}, "3:0.50(64) ", false, nullptr}, // no display
        {nullptr, ":99", {}, "3:0.50(64) ", false, nullptr},        // no tool
        {nullptr, ":99", {xclip}, "", true, nullptr},               // empty line
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(&c - cases);
        char pattern[] = "/tmp/clipboard-tools-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        const std::string dir = pattern;
        setenv("PATH", pattern, 1);
        c.wayland ? setenv("WAYLAND_DISPLAY", c.wayland, 1) : unsetenv("WAYLAND_DISPLAY");
        c.display ? setenv("DISPLAY", c.display, 1) : unsetenv("DISPLAY");
        for (const Tool &tool : c.tools) {
            const std::string path = dir + "/" + tool.name;
            std::ofstream(path) << "#!/bin/sh\n{ echo \"$*\"; /bin/cat; } > " << path
                                << ".got\necho noise; echo noise >&2\n"
                                << tool.tail << "\n";
            chmod(path.c_str(), 0755);
        }
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const bool copied = copy_to_clipboard(c.text);
        const std::string output =
            testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
        EXPECT_EQ(copied, c.copied);
        EXPECT_EQ(output, "") << "the tools' output goes nowhere";
        for (const Tool &tool : c.tools) {
            const bool used = c.used && std::string(c.used) == tool.name;
            EXPECT_EQ(saved(dir + "/" + tool.name + ".got"),
                      used ? std::string(tool.args) + "\n" + c.text : "")
                << tool.name;
        }
        EXPECT_EQ(std::system(("/bin/rm -rf " + dir).c_str()), 0);
    }
}
