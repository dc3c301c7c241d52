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

TEST(GlEntryPoints, CountsEveryMissingNameAndListsThoseThatFitTheBuffer) {
    // Each listed name takes its length and 3 bytes (", " before the next, or the terminator).
    const struct {
        std::set<std::string> lacking;
        int room;
        int count;
        const char *listed;
    } cases[] = {
        {{"glUseProgram"}, 15, 1, "glUseProgram"},
        {{"glUseProgram"}, 14, 1, ""},
        {{"glCreateShader", "glUseProgram"}, 28, 2, "glCreateShader"},
        {{"glCreateShader", "glUseProgram"}, 29, 2, "glCreateShader, glUseProgram"},
    };
    for (const auto &c : cases) {
        Lacking = c.lacking;
        char missing[64];
        std::fill(std::begin(missing), std::end(missing), 'x');
        EXPECT_EQ(fetch_gl_entry_points(missing, c.room), c.count) << c.room;
        EXPECT_STREQ(missing, c.listed) << c.room;
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
