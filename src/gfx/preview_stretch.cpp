#include "gfx/preview_stretch.h"

#include "gfx/builtin_shaders.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"

GLuint build_preview_stretch() {
    const char *const texts[2] = {vMainObject, fPreviewStretch};
    const GLenum types[2] = {GL_VERTEX_SHADER, GL_FRAGMENT_SHADER};
    GLuint program = gl2::CreateProgram();
    bool compiled = true;
    for (int i = 0; i < 2; ++i) {
        const GLuint shader = gl2::CreateShader(types[i]);
        gl2::ShaderSource(shader, 1, &texts[i], nullptr);
        gl2::CompileShader(shader);
        char log[ShaderLogSize + 1];
        if (failed_compile_log(shader, log)) compiled = false;
        gl2::AttachShader(program, shader);
        gl2::DeleteShader(shader); // lives on while attached
    }
    gl2::LinkProgram(program);
    if (!GlToolEntryPoints[GL_TOOL_GET_PROGRAMIV]) {
        std::string missing;
        fetch_gl_tool_entry_points(missing);
    }
    GLint linked = 1; // a GL 2.0 driver has the query; without it a link failure goes unseen
    if (GlToolEntryPoints[GL_TOOL_GET_PROGRAMIV])
        gl2::tool<PFNGLGETPROGRAMIVPROC>(GL_TOOL_GET_PROGRAMIV, program, GL_LINK_STATUS, &linked);
    if (compiled && linked) return program;
    gl2::DeleteProgram(program);
    return 0;
}

void release_preview_stretch(GLuint program) {
    if (program) gl2::DeleteProgram(program);
}
