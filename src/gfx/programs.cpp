#include "gfx/programs.h"

#include "gfx/builtin_shaders.h"
#include "gfx/gl_entry_points.h"

#include <cstdio>

const char SceneShaderFiles[SceneProgramCount][ShaderPathSize] = {
#include "gfx/scene_shader_files.inc"
};

GLuint SceneProgramTable[SceneProgramCount] = {};
GLuint PostProgram = 0;

// One static buffer for every file: at most 199,999 bytes of text and always a terminating zero.
char ShaderTextBuffer[ShaderTextBufferSize];

const char *VertexShaderText = vMainObject;
const char *PostShaderText = fOffscreeCopy;

long read_shader_file(const char *path, char *text, long capacity) {
    std::FILE *file = std::fopen(path, "rb"); // binary: line ends reach the compiler unchanged
    if (!file) return -1;
    size_t read = std::fread(text, 1, static_cast<size_t>(capacity - 1), file);
    text[read] = 0;
    std::fclose(file);
    return static_cast<long>(read);
}

const char *failed_compile_log(GLuint shader, char (&log)[ShaderLogSize + 1]) {
    GLint status = 0;
    gl2::GetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0) return nullptr;
    GLsizei length = 0;
    gl2::GetShaderInfoLog(shader, ShaderLogSize, &length, log);
    log[length] = 0;
    return log;
}

static void build_plain(void *) {
    build_programs();
}
constexpr ProgramBuildSeam ProgramBuildPlain = {build_plain, nullptr};
ProgramBuildSeam ProgramBuildHook = ProgramBuildPlain;
