// The studio's build: each slot that builds is replaced, each that fails keeps its program, and
// the first failure comes back as data instead of a box.
#include "gfx/builtin_shaders.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class ProgramsKeeping : public ::testing::Test {
  protected:
    void SetUp() override {
        gl2::UseProgram(0);
        for (GLuint &program : SceneProgramTable) {
            if (program) gl2::DeleteProgram(program);
            program = 0;
        }
        if (PostProgram) gl2::DeleteProgram(PostProgram);
        PostProgram = 0;
        Boxes.clear();
    }
    int live_programs() {
        int count = 0;
        for (GLuint n = 1; n < 2000; ++n) count += glIsProgram(n);
        return count;
    }
    ProgramBuildFailure failure{};
};

TEST_F(ProgramsKeeping, AFailedSlotKeepsItsLastGoodProgramAndTheFirstFailureIsReported) {
    // Before any program exists a broken slot stays empty.
    ShaderFolder folder(ShaderFiles{
        {"gras20.shader", "#version 120\nvoid main(void) {\n gl_FragColor = oops;\n}"}});
    EXPECT_EQ(build_programs_keeping(failure), 1);
    EXPECT_EQ(SceneProgramTable[3], 0u);
    EXPECT_STREQ(failure.file, "data/gras20.shader");
    EXPECT_EQ(failure.line, 3);
    EXPECT_NE(std::string(failure.message).find("oops"), std::string::npos) << failure.message;

    folder.write("gras20.shader", ValidSceneShader);
    EXPECT_EQ(build_programs_keeping(failure), 0);
    EXPECT_STREQ(failure.file, "");
    GLuint before[SceneProgramCount];
    for (int i = 0; i < SceneProgramCount; ++i) {
        EXPECT_TRUE(is_linked(SceneProgramTable[i])) << i;
        before[i] = SceneProgramTable[i];
    }

    // Slot 5 compiles but does not link (objectPosition of another type than the vertex
    // shader's), slot 7 fails to compile, slot 8's file is gone: each keeps its program, the
    // others are new, and slot 5's link log comes first.
    folder.write("gras12.2.shader", "#version 120\nvarying vec4 objectPosition;\n"
                                    "void main(void) { gl_FragColor = objectPosition; }\n");
    folder.write("Background.shader", "#version 120\nvoid main(void) { nonsense }\n");
    std::remove("data/simpleTex.shader");
    EXPECT_EQ(build_programs_keeping(failure), 3);
    EXPECT_STREQ(failure.file, "data/gras12.2.shader");
    EXPECT_NE(std::string(failure.message).find("objectPosition"), std::string::npos)
        << failure.message;
    for (int i = 0; i < SceneProgramCount; ++i) {
        EXPECT_TRUE(is_linked(SceneProgramTable[i])) << i;
        EXPECT_EQ(SceneProgramTable[i] == before[i], i >= 5 && i != 6) << i;
    }
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(live_programs(), SceneProgramCount + 1) << "a replaced or failed program leaks";
}

// The forms drivers give their logs in: the first error line, and the line it names.
TEST(ShaderLog, TheFirstErrorLineAndItsLineNumberAreTaken) {
    struct Case {
        const char *log, *message;
        int line;
    };
    const Case cases[] = {
        {"0:12(7): warning: unused\n0:14(3): error: `oops'\n", "0:14(3): error: `oops'", 14},
        {"0(14) : error C1008: \"oops\"\n", "0(14) : error C1008: \"oops\"", 14},
        {"ERROR: 0:14: 'oops'\r\nERROR: 1 compilation errors.\n", "ERROR: 0:14: 'oops'", 14},
        {"error: output `objectPosition'\n", "error: output `objectPosition'", 0},
        {"\n  link failed", "link failed", 0}};
    for (const Case &c : cases) {
        ProgramBuildFailure failure{};
        describe_shader_log("data/x.shader", c.log, failure);
        EXPECT_EQ(failure.line, c.line) << c.log;
        EXPECT_STREQ(failure.message, c.message);
        EXPECT_STREQ(failure.file, "data/x.shader");
    }
}

} // namespace
