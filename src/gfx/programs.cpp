#include "gfx/programs.h"

#include "gfx/builtin_shaders.h"
#include "gfx/data_dir.h"
#include "gfx/gl_entry_points.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <cstdio>
#include <filesystem>
#include <string>

const char SceneShaderFiles[SceneProgramCount][ShaderPathSize] = {
#include "gfx/scene_shader_files.inc"
};

GLuint SceneProgramTable[SceneProgramCount] = {};
GLuint PostProgram = 0;

// One static buffer for every file: at most 199,999 bytes of text and always a terminating zero.
static char ShaderTextBuffer[ShaderTextBufferSize];

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

// Shows the shader's compile log and says whether the build must stop.
static bool compile_failed(GLuint shader, const char *caption) {
    GLint status = 0;
    gl2::GetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status != 0) return false;
    char err[4097];
    GLsizei length = 0;
    gl2::GetShaderInfoLog(shader, 4096, &length, err);
    err[length] = 0;
    message_box(MainWindowHandle, err, caption, MESSAGE_BOX_OK);
    return true;
}

// The usual cause is a demo started from another folder, so the box names the working directory.
static void report_unopened(const char *path) {
    std::error_code error;
    std::string where = std::filesystem::current_path(error).string();
    std::string text = std::string("The shader file could not be opened: ") + path +
                       "\nWorking directory: " + (error ? std::string("unknown") : where) +
                       "\nStart the demo from the folder that holds data/, or name the folder "
                       "with --data.";
    message_box(MainWindowHandle, text.c_str(), path, MESSAGE_BOX_OK);
}

void build_programs() {
    if (SceneProgramTable[0] != 0) {
        for (GLuint &program : SceneProgramTable) {
            gl2::DeleteProgram(program);
            program = 0;
        }
        gl2::DeleteProgram(PostProgram);
        PostProgram = 0;
    }

    GLuint vertex = gl2::CreateShader(GL_VERTEX_SHADER);
    GLuint post = gl2::CreateShader(GL_FRAGMENT_SHADER);
    PostProgram = gl2::CreateProgram();
    gl2::ShaderSource(vertex, 1, &VertexShaderText, nullptr);
    gl2::CompileShader(vertex);
    gl2::ShaderSource(post, 1, &PostShaderText, nullptr);
    gl2::CompileShader(post);
    // A failed build leaves the tables as they stand but does not leak its shader objects.
    auto give_up = [&](GLuint fragment) {
        if (fragment) gl2::DeleteShader(fragment);
        gl2::DeleteShader(vertex);
        gl2::DeleteShader(post);
    };
    if (compile_failed(vertex, "vMainObject shader error")) return give_up(0);
    if (compile_failed(post, "fOffscreeCopy shader error")) return give_up(0);
    gl2::AttachShader(PostProgram, vertex);
    gl2::AttachShader(PostProgram, post);
    gl2::LinkProgram(PostProgram);

    const char *shaderPointer = ShaderTextBuffer;
    for (int i = 0; i < SceneProgramCount; ++i) {
        const std::string path = data_path(SceneShaderFiles[i]);
        if (read_shader_file(path.c_str(), ShaderTextBuffer, ShaderTextBufferSize) < 0) {
            report_unopened(path.c_str());
            return give_up(0);
        }

        GLuint fragment = gl2::CreateShader(GL_FRAGMENT_SHADER);
        SceneProgramTable[i] = gl2::CreateProgram();
        gl2::ShaderSource(fragment, 1, &shaderPointer, nullptr);
        gl2::CompileShader(fragment);
        if (compile_failed(fragment, path.c_str())) return give_up(fragment);
        gl2::AttachShader(SceneProgramTable[i], vertex);
        gl2::AttachShader(SceneProgramTable[i], fragment);
        gl2::LinkProgram(SceneProgramTable[i]);
        gl2::DeleteShader(fragment); // lives on while attached
    }
    gl2::DeleteShader(vertex);
    gl2::DeleteShader(post);
}
