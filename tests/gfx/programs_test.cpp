#include "gfx/builtin_shaders.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gl_test_context.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

std::set<GLuint> live(GLboolean (*is)(GLuint)) {
    std::set<GLuint> names;
    for (GLuint n = 1; n < 2000; ++n)
        if (is(n)) names.insert(n);
    return names;
}

std::set<GLuint> attached_shaders() {
    std::set<GLuint> shaders;
    auto add = [&](GLuint program) {
        GLuint list[4];
        GLsizei count = 0;
        glGetAttachedShaders(program, 4, &count, list);
        shaders.insert(list, list + count);
    };
    for (GLuint program : SceneProgramTable)
        if (program) add(program);
    if (PostProgram) add(PostProgram);
    return shaders;
}

// Starts every test from a clean slate: no program current, no programs left from earlier tests.
class Programs : public ::testing::Test {
  protected:
    void SetUp() override {
        gl2::UseProgram(0);
        for (GLuint &program : SceneProgramTable) {
            if (program) gl2::DeleteProgram(program);
            program = 0;
        }
        if (PostProgram) gl2::DeleteProgram(PostProgram);
        PostProgram = 0;
        VertexShaderText = vMainObject;
        PostShaderText = fOffscreeCopy;
        Boxes.clear();
    }
};

// Twice: a rebuild deletes the ten programs it replaces, and their shaders go with them.
TEST_F(Programs, ABuildAndARebuildLinkTenProgramsAndLeaveNoStrayShader) {
    ShaderFolder folder;
    for (int build = 0; build < 2; ++build) {
        build_programs();
        EXPECT_TRUE(Boxes.empty());
        EXPECT_TRUE(PostProgram && is_linked(PostProgram));
        for (GLuint program : SceneProgramTable) EXPECT_TRUE(program && is_linked(program));
        EXPECT_EQ(live(glIsProgram).size(), 10u);
        EXPECT_EQ(live(glIsShader), attached_shaders());
    }
}

TEST_F(Programs, ACompileErrorInSlot3ShowsItsLogAndStopsThere) {
    ShaderFolder folder(
        ShaderFiles{{"gras20.shader", "#version 120\nvoid main(void) { gl_FragColor = oops; }\n"}});
    build_programs();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].caption, "data/gras20.shader");
    EXPECT_NE(Boxes[0].text.find("oops"), std::string::npos) << Boxes[0].text;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(is_linked(SceneProgramTable[i])) << i;
    ASSERT_NE(SceneProgramTable[3], 0u);
    EXPECT_FALSE(is_linked(SceneProgramTable[3]));
    GLsizei attached = -1;
    GLuint list[2];
    glGetAttachedShaders(SceneProgramTable[3], 2, &attached, list);
    EXPECT_EQ(attached, 0);
    for (int i = 4; i < 9; ++i) EXPECT_EQ(SceneProgramTable[i], 0u) << i;
    EXPECT_EQ(live(glIsShader), attached_shaders()) << "a failed build leaks no shader";

    // Mended so that it compiles but does not link (objectPosition of another type than the
    // vertex shader's), next key press: no box, and the build goes on past it.
    folder.write("gras20.shader", "#version 120\nvarying vec4 objectPosition;\n"
                                  "void main(void) { gl_FragColor = objectPosition; }\n");
    Boxes.clear();
    build_programs();
    EXPECT_TRUE(Boxes.empty());
    for (int i = 0; i < 9; ++i) EXPECT_EQ(is_linked(SceneProgramTable[i]), i != 3) << i;
}

TEST_F(Programs, TextIsCutAt199999Bytes) {
    // The closing brace of main is the very last byte of the file: cut from 200000 bytes on.
    for (size_t size : {199999, 200000}) {
        std::string text = "#version 120\nvoid main(void) { gl_FragColor = vec4(1.0);\n//";
        text += std::string(size - text.size() - 2, 'x') + "\n}";
        ShaderFolder folder(ShaderFiles{{"gras10.shader", text}});
        Boxes.clear();
        build_programs();
        EXPECT_EQ(Boxes.size(), size == 200000u) << size;
        EXPECT_EQ(is_linked(SceneProgramTable[4]), size == 199999u) << size;
    }
}

// A missing file is reported with the working directory; an empty one was opened, so whatever
// the compiler makes of it, it is not the missing-file box.
TEST_F(Programs, AMissingFileIsReportedWithTheWorkingDirectoryAnEmptyOneIsRead) {
    {
        ShaderFolder folder(ShaderFiles{{"-ball8.shader", ""}});
        build_programs();
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].caption, "data/ball8.shader");
        EXPECT_NE(Boxes[0].text.find("could not be opened"), std::string::npos);
        EXPECT_NE(Boxes[0].text.find(folder.path()), std::string::npos) << Boxes[0].text;
        for (int i = 0; i < 9; ++i) EXPECT_EQ(is_linked(SceneProgramTable[i]), i < 6) << i;
    }
    ShaderFolder folder(ShaderFiles{{"ball8.shader", ""}});
    Boxes.clear();
    build_programs();
    for (const auto &box : Boxes)
        EXPECT_EQ(box.text.find("could not be opened"), std::string::npos);
    EXPECT_FALSE(is_linked(SceneProgramTable[6]));
}

// The studio's build: a failed slot keeps its program, the others are new, the first failure
// comes back as data and no box opens.
TEST_F(Programs, TheKeepingBuildKeepsEachFailedSlotsLastGoodProgramAndNamesTheFirstFailure) {
    ShaderFolder folder;
    ProgramBuildFailure failure{};
    EXPECT_EQ(build_programs_keeping(failure), 0);
    EXPECT_STREQ(failure.file, "");
    const std::vector<GLuint> before(SceneProgramTable, SceneProgramTable + SceneProgramCount);
    // Slot 5 does not compile, slot 7 does not link (objectPosition of another type than the
    // vertex shader's), slot 8's file is gone.
    folder.write("gras12.2.shader", "#version 120\nvoid main(void) {\n oops;\n}");
    folder.write("Background.shader", "#version 120\nvarying vec4 objectPosition;\n"
                                      "void main(void) { gl_FragColor = objectPosition; }\n");
    std::remove("data/simpleTex.shader");
    EXPECT_EQ(build_programs_keeping(failure), 3);
    EXPECT_EQ(std::string(failure.file) + ":" + std::to_string(failure.line),
              "data/gras12.2.shader:3");
    EXPECT_NE(std::string(failure.message).find("oops"), std::string::npos) << failure.message;
    for (int i = 0; i < SceneProgramCount; ++i)
        EXPECT_TRUE(is_linked(SceneProgramTable[i]) &&
                    (SceneProgramTable[i] == before[i]) == (i == 5 || i == 7 || i == 8))
            << i;
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(live(glIsProgram).size(), 10u) << "a replaced or failed program leaks";
    EXPECT_EQ(live(glIsShader), attached_shaders());
}

// Drivers' log forms: the first error line and the line it names.
TEST(ShaderLog, TheFirstErrorLineAndItsLineNumberAreTaken) {
    const std::pair<const char *, int> logs[] = {
        {"0:1(7): warning: w\n0:14(3): error: `oops'\n", 14},
        {"ERROR: 0:14: 'oops'\r\nERROR: 1 errors\n", 14},
        {"\n  link error: `oops'", 0}};
    for (const auto &[log, line] : logs) {
        ProgramBuildFailure failure{};
        describe_shader_log("data/x.shader", log, failure);
        const std::string message = failure.message;
        EXPECT_EQ(failure.line, line) << log;
        EXPECT_EQ(message.find("oops'"), message.size() - 5) << message;
    }
}

} // namespace
