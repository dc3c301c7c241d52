// The demo's own build: every program from scratch, a box for the first thing that fails.
#include "gfx/data_dir.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <filesystem>
#include <string>

// Shows the shader's compile log and says whether the build must stop.
static bool compile_failed(GLuint shader, const char *caption) {
    char log[ShaderLogSize + 1];
    if (!failed_compile_log(shader, log)) return false;
    message_box(MainWindowHandle, log, caption, MESSAGE_BOX_OK);
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
        const DataPath path = shader_path(SceneShaderFiles[i]);
        if (read_shader_file(path.text, ShaderTextBuffer, ShaderTextBufferSize) < 0) {
            report_unopened(path.text);
            return give_up(0);
        }

        GLuint fragment = gl2::CreateShader(GL_FRAGMENT_SHADER);
        SceneProgramTable[i] = gl2::CreateProgram();
        gl2::ShaderSource(fragment, 1, &shaderPointer, nullptr);
        gl2::CompileShader(fragment);
        if (compile_failed(fragment, path.text)) return give_up(fragment);
        gl2::AttachShader(SceneProgramTable[i], vertex);
        gl2::AttachShader(SceneProgramTable[i], fragment);
        gl2::LinkProgram(SceneProgramTable[i]);
        gl2::DeleteShader(fragment); // lives on while attached
    }
    gl2::DeleteShader(vertex);
    gl2::DeleteShader(post);
}
