// The nine shader files as Mesa builds them against the built-in vertex shader: compiled and
// linked with empty logs, so that no warning slips through.
#include "content_gl.h"

#include "gfx/builtin_shaders.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string read_text(const char *path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string shader_log(GLuint shader) {
    char text[4096] = {};
    GLsizei length = 0;
    gl2::GetShaderInfoLog(shader, sizeof text - 1, &length, text);
    return std::string(text, static_cast<size_t>(length));
}

std::string program_log(GLuint program) {
    char text[4096] = {};
    GLsizei length = 0;
    glGetProgramInfoLog_(program, sizeof text - 1, &length, text);
    return std::string(text, static_cast<size_t>(length));
}

// Mesa prints nothing for a clean build; anything it prints is a warning at least.
bool blank(const std::string &log) {
    return std::all_of(log.begin(), log.end(), [](unsigned char c) { return std::isspace(c); });
}

TEST(ShaderFiles, LoadWithoutABox) {
    const bool ready = content_gl_ready();
    for (const std::string &box : ContentBoxes) ADD_FAILURE() << box;
    ASSERT_TRUE(ready);
    for (int i = 0; i < SceneProgramCount; ++i) EXPECT_NE(SceneProgramTable[i], 0u) << i;
}

TEST(ShaderFiles, CompileAndLinkWithoutWarnings) {
    ASSERT_TRUE(content_gl_ready());
    const char *vertex_text = vMainObject;
    GLuint vertex = gl2::CreateShader(GL_VERTEX_SHADER);
    gl2::ShaderSource(vertex, 1, &vertex_text, nullptr);
    gl2::CompileShader(vertex);
    for (const char *path : SceneShaderFiles) {
        SCOPED_TRACE(path);
        const std::string text = read_text(path);
        ASSERT_EQ(text.rfind("#version 120\n", 0), 0u) << "must begin with #version 120";
        const char *source = text.c_str();
        GLuint fragment = gl2::CreateShader(GL_FRAGMENT_SHADER);
        gl2::ShaderSource(fragment, 1, &source, nullptr);
        gl2::CompileShader(fragment);
        GLint compiled = 0;
        gl2::GetShaderiv(fragment, GL_COMPILE_STATUS, &compiled);
        EXPECT_TRUE(compiled);
        EXPECT_TRUE(blank(shader_log(fragment))) << shader_log(fragment);

        GLuint program = gl2::CreateProgram();
        gl2::AttachShader(program, vertex);
        gl2::AttachShader(program, fragment);
        gl2::LinkProgram(program);
        GLint linked = 0;
        glGetProgramiv_(program, GL_LINK_STATUS, &linked);
        EXPECT_TRUE(linked);
        EXPECT_TRUE(blank(program_log(program))) << program_log(program);
        gl2::DeleteProgram(program);
        gl2::DeleteShader(fragment);
    }
    gl2::DeleteShader(vertex);
}

} // namespace
