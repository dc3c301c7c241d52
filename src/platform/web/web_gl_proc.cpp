// GL procedure lookup in the browser: emscripten's WebGL functions by name, three of them wrapped.
//   [x] glShaderSource: the text adapted to WebGL 1 (web_shader_text)
//   [x] glLinkProgram: the fixed-function attributes bound to their places first
//   [x] glTexImage3D: WebGL 1 has none and the demo never calls it; a call does nothing
//   [ ] names beyond the demo's and the tools' tables: null
#include "platform/gl_proc.h"
#include "platform/web/web_gl.h"

#include <webgl/webgl1.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

GLenum shader_type(GLuint shader) {
    GLint type = 0;
    emscripten_glGetShaderiv(shader, GL_SHADER_TYPE, &type);
    return static_cast<GLenum>(type);
}

void GL_APIENTRY shader_source(GLuint shader, GLsizei count, const GLchar *const *texts,
                               const GLint *lengths) {
    std::string whole;
    for (GLsizei i = 0; i < count; ++i)
        whole += lengths && lengths[i] >= 0 ? std::string(texts[i], static_cast<size_t>(lengths[i]))
                                            : std::string(texts[i]);
    const std::string adapted =
        web_shader_text(shader_type(shader) == GL_VERTEX_SHADER, whole.c_str());
    const GLchar *text = adapted.c_str();
    emscripten_glShaderSource(shader, 1, &text, nullptr);
}

void GL_APIENTRY link_program(GLuint program) {
    for (GLuint i = 0; i < 3; ++i)
        emscripten_glBindAttribLocation(program, i, WebAttributeNames[i]);
    emscripten_glLinkProgram(program);
}

void GL_APIENTRY no_tex_image_3d(GLenum, GLint, GLint, GLsizei, GLsizei, GLsizei, GLint, GLenum,
                                 GLenum, const void *) {}

struct Entry {
    const char *name;
    void *address;
};

#define GL_ENTRY(name)                                                                             \
    { #name, reinterpret_cast < void *>(emscripten_##name) }
const Entry Entries[] = {
    GL_ENTRY(glCreateShader),
    GL_ENTRY(glCreateProgram),
    {"glShaderSource", reinterpret_cast<void *>(shader_source)},
    GL_ENTRY(glCompileShader),
    GL_ENTRY(glAttachShader),
    {"glLinkProgram", reinterpret_cast<void *>(link_program)},
    GL_ENTRY(glUseProgram),
    {"glTexImage3D", reinterpret_cast<void *>(no_tex_image_3d)},
    GL_ENTRY(glGetShaderiv),
    GL_ENTRY(glGetShaderInfoLog),
    GL_ENTRY(glDeleteProgram),
    GL_ENTRY(glDeleteShader),
    GL_ENTRY(glGetProgramiv),
    GL_ENTRY(glGetProgramInfoLog),
};
#undef GL_ENTRY

} // namespace

void *gl_proc_address(const char *name) {
    for (const Entry &entry : Entries)
        if (std::strcmp(entry.name, name) == 0) return entry.address;
    return nullptr;
}
