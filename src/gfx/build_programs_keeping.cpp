// The studio's build: no box, and each program that cannot be replaced is kept.
#include "gfx/data_dir.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void describe_shader_log(const char *file, const char *log, ProgramBuildFailure &failure) {
    std::snprintf(failure.file, sizeof failure.file, "%s", file);
    // The first line that says "error" (any case), else the first that says anything.
    const char *chosen = nullptr;
    for (const char *line = log; *line && !chosen;) {
        const char *end = std::strchr(line, '\n');
        if (!end) end = line + std::strlen(line);
        for (const char *c = line; c + 5 <= end && !chosen; ++c)
            if (std::tolower(static_cast<unsigned char>(c[0])) == 'e' &&
                std::tolower(static_cast<unsigned char>(c[1])) == 'r' &&
                std::tolower(static_cast<unsigned char>(c[2])) == 'r' &&
                std::tolower(static_cast<unsigned char>(c[3])) == 'o' &&
                std::tolower(static_cast<unsigned char>(c[4])) == 'r')
                chosen = line;
        line = *end ? end + 1 : end;
    }
    if (!chosen) chosen = log + std::strspn(log, " \t\r\n");
    std::size_t length = std::strcspn(chosen, "\r\n");
    if (length >= sizeof failure.message) length = sizeof failure.message - 1;
    std::memcpy(failure.message, chosen, length);
    failure.message[length] = 0;
    // "0:12(3):", "0(12) :" or, behind "ERROR: ", "0:12:": the source string, then the line.
    const char *p = failure.message;
    if (std::strncmp(p, "ERROR: ", 7) == 0) p += 7;
    char *after = nullptr;
    std::strtol(p, &after, 10);
    failure.line = 0;
    if (after != p && (*after == ':' || *after == '(') &&
        std::isdigit(static_cast<unsigned char>(after[1])))
        failure.line = static_cast<int>(std::strtol(after + 1, nullptr, 10));
}

namespace {

// Keeps the first failure of a build; the later ones are only counted.
struct FailureRecord {
    ProgramBuildFailure &first;
    int count = 0;
    void log(const char *file, const char *text) {
        if (count++ == 0) describe_shader_log(file, text, first);
    }
};

// Links a program from the two shaders; 0 (nothing left behind) when it does not link. The link
// status comes through the tools' table, which the demo's own build never needs.
GLuint link_or_log(GLuint vertex, GLuint fragment, const char *file, FailureRecord &failures) {
    GLuint program = gl2::CreateProgram();
    gl2::AttachShader(program, vertex);
    gl2::AttachShader(program, fragment);
    gl2::LinkProgram(program);
    if (!GlToolEntryPoints[GL_TOOL_GET_PROGRAM_INFO_LOG]) {
        std::string missing;
        fetch_gl_tool_entry_points(missing);
    }
    if (!GlToolEntryPoints[GL_TOOL_GET_PROGRAMIV] ||
        !GlToolEntryPoints[GL_TOOL_GET_PROGRAM_INFO_LOG])
        return program; // a GL 2.0 driver has both; without them a link failure goes unseen
    GLint status = 0;
    gl2::tool<PFNGLGETPROGRAMIVPROC>(GL_TOOL_GET_PROGRAMIV, program, GL_LINK_STATUS, &status);
    if (status != 0) return program;
    char log[ShaderLogSize + 1];
    GLsizei length = 0;
    gl2::tool<PFNGLGETPROGRAMINFOLOGPROC>(GL_TOOL_GET_PROGRAM_INFO_LOG, program, ShaderLogSize,
                                          &length, log);
    log[length] = 0;
    failures.log(file, log);
    gl2::DeleteProgram(program);
    return 0;
}

// A fragment shader from the text, linked with the vertex shader into program, which it replaces;
// a failure leaves program as it was.
void rebuild_slot(GLuint vertex, const char *text, const char *file, GLuint &program,
                  FailureRecord &failures) {
    GLuint fragment = gl2::CreateShader(GL_FRAGMENT_SHADER);
    gl2::ShaderSource(fragment, 1, &text, nullptr);
    gl2::CompileShader(fragment);
    char log[ShaderLogSize + 1];
    if (const char *failed = failed_compile_log(fragment, log)) {
        failures.log(file, failed);
    } else if (GLuint built = link_or_log(vertex, fragment, file, failures)) {
        if (program) gl2::DeleteProgram(program);
        program = built;
    }
    gl2::DeleteShader(fragment); // lives on while attached
}

} // namespace

int build_programs_keeping(ProgramBuildFailure &first_failure) {
    first_failure = ProgramBuildFailure{};
    FailureRecord failures{first_failure};
    GLuint vertex = gl2::CreateShader(GL_VERTEX_SHADER);
    gl2::ShaderSource(vertex, 1, &VertexShaderText, nullptr);
    gl2::CompileShader(vertex);
    char log[ShaderLogSize + 1];
    if (const char *failed = failed_compile_log(vertex, log)) {
        // Nothing links without it: every program stays.
        failures.log("vMainObject", failed);
        gl2::DeleteShader(vertex);
        return SceneProgramCount + 1;
    }
    rebuild_slot(vertex, PostShaderText, "fOffscreeCopy", PostProgram, failures);
    for (int i = 0; i < SceneProgramCount; ++i) {
        const DataPath path = shader_path(SceneShaderFiles[i]);
        if (read_shader_file(path.text, ShaderTextBuffer, ShaderTextBufferSize) < 0) {
            failures.log(path.text, "the file could not be opened");
            continue;
        }
        rebuild_slot(vertex, ShaderTextBuffer, path.text, SceneProgramTable[i], failures);
    }
    gl2::DeleteShader(vertex);
    return failures.count;
}
