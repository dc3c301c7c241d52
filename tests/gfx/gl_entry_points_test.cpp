// The entry-point loaders against a driver that lacks some names: this file's own lookup stands
// in for the platform's.
#include "gfx/gl_entry_points.h"
#include "gfx/resources.h"
#include "gl_session.h"
#include "platform/gl_proc.h"
#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {
std::set<std::string> Lacking;
char Found;
} // namespace

void *gl_proc_address(const char *name) {
    return Lacking.count(name) ? nullptr : &Found;
}

namespace {

TEST(GlEntryPoints, ListsEveryMissingNameInTableOrder) {
    const struct {
        std::set<std::string> lacking;
        bool all;
        const char *listed;
    } cases[] = {
        {{}, true, ""},
        {{"glUseProgram"}, false, "glUseProgram"},
        {{"glUseProgram", "glCreateShader"}, false, "glCreateShader, glUseProgram"},
    };
    for (const auto &c : cases) {
        Lacking = c.lacking;
        std::string missing = "stale";
        EXPECT_EQ(fetch_gl_entry_points(missing), c.all) << c.listed;
        EXPECT_EQ(missing, c.listed);
    }
}

// The demo's first load step stops at a single missing name, and its box names it.
TEST(GlEntryPoints, OneMissingNameStopsTheDemoWithABoxNamingIt) {
    Lacking = {"glUseProgram"};
    static std::string shown;
    MessageBoxHook = [](void *, const char *text, const char *, int) { shown = text; };
    EXPECT_EQ(LoadSteps[0].run(), 0);
    EXPECT_NE(shown.find("does not offer: glUseProgram"), std::string::npos) << shown;
}

// demo-capture stops at one missing framebuffer call (and its EXT name) before calling any.
TEST(GlEntryPoints, OneMissingFramebufferCallStopsTheCaptureTool) {
    Lacking = {"glGenFramebuffers", "glGenFramebuffersEXT"};
    std::string error;
    EXPECT_FALSE(open_gl(64, 64, error));
    EXPECT_EQ(error, "the OpenGL driver lacks calls the capture needs: no glGenFramebuffers");
    close_gl();
}

} // namespace
