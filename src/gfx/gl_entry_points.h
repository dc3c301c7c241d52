// The OpenGL 2.0 functions the platform's GL library does not export, fetched by name at start.
#pragma once
#include "gfx/gl.h"

#include <string>

enum GlEntryPointIndex {
    GL_ENTRY_CREATE_SHADER,
    GL_ENTRY_CREATE_PROGRAM,
    GL_ENTRY_SHADER_SOURCE,
    GL_ENTRY_COMPILE_SHADER,
    GL_ENTRY_ATTACH_SHADER,
    GL_ENTRY_LINK_PROGRAM,
    GL_ENTRY_USE_PROGRAM,
    GL_ENTRY_TEX_IMAGE_3D,
    GL_ENTRY_GET_SHADERIV,
    GL_ENTRY_GET_SHADER_INFO_LOG,
    GL_ENTRY_DELETE_PROGRAM,
    GL_ENTRY_DELETE_SHADER,
    GL_ENTRY_COUNT
};

extern const char *const GlEntryPointNames[GL_ENTRY_COUNT];
extern void *GlEntryPoints[GL_ENTRY_COUNT];

// Fills GlEntryPoints through the platform's lookup. True when all arrived; otherwise false with
// the names that did not in missing, comma-separated.
bool fetch_gl_entry_points(std::string &missing);

// What only the tools call, kept out of the demo's own table: offscreen framebuffers (core only
// from GL 3.0, so the EXT names stand in), the program link log, and the pixel buffers that let
// the capture tool read a frame back while the next one renders (GL 1.5 buffer objects).
enum GlToolEntryIndex {
    GL_TOOL_GEN_FRAMEBUFFERS,
    GL_TOOL_BIND_FRAMEBUFFER,
    GL_TOOL_DELETE_FRAMEBUFFERS,
    GL_TOOL_GEN_RENDERBUFFERS,
    GL_TOOL_BIND_RENDERBUFFER,
    GL_TOOL_DELETE_RENDERBUFFERS,
    GL_TOOL_RENDERBUFFER_STORAGE,
    GL_TOOL_FRAMEBUFFER_RENDERBUFFER,
    GL_TOOL_CHECK_FRAMEBUFFER_STATUS,
    GL_TOOL_GET_PROGRAMIV,
    GL_TOOL_GET_PROGRAM_INFO_LOG,
    GL_TOOL_GEN_BUFFERS,
    GL_TOOL_BIND_BUFFER,
    GL_TOOL_BUFFER_DATA,
    GL_TOOL_MAP_BUFFER,
    GL_TOOL_UNMAP_BUFFER,
    GL_TOOL_DELETE_BUFFERS,
    GL_TOOL_COUNT
};
extern void *GlToolEntryPoints[GL_TOOL_COUNT];
// As fetch_gl_entry_points, for the tools' table.
bool fetch_gl_tool_entry_points(std::string &missing);

// Typed calls through the tables.
namespace gl2 {
template <typename F> inline F entry(GlEntryPointIndex i) {
    return reinterpret_cast<F>(GlEntryPoints[i]);
}
inline GLuint CreateShader(GLenum type) {
    return entry<PFNGLCREATESHADERPROC>(GL_ENTRY_CREATE_SHADER)(type);
}
inline GLuint CreateProgram() {
    return entry<PFNGLCREATEPROGRAMPROC>(GL_ENTRY_CREATE_PROGRAM)();
}
inline void ShaderSource(GLuint shader, GLsizei count, const GLchar *const *text,
                         const GLint *length) {
    entry<PFNGLSHADERSOURCEPROC>(GL_ENTRY_SHADER_SOURCE)(shader, count, text, length);
}
inline void CompileShader(GLuint shader) {
    entry<PFNGLCOMPILESHADERPROC>(GL_ENTRY_COMPILE_SHADER)(shader);
}
inline void AttachShader(GLuint program, GLuint shader) {
    entry<PFNGLATTACHSHADERPROC>(GL_ENTRY_ATTACH_SHADER)(program, shader);
}
inline void LinkProgram(GLuint program) {
    entry<PFNGLLINKPROGRAMPROC>(GL_ENTRY_LINK_PROGRAM)(program);
}
inline void UseProgram(GLuint program) {
    entry<PFNGLUSEPROGRAMPROC>(GL_ENTRY_USE_PROGRAM)(program);
}
inline void GetShaderiv(GLuint shader, GLenum name, GLint *value) {
    entry<PFNGLGETSHADERIVPROC>(GL_ENTRY_GET_SHADERIV)(shader, name, value);
}
inline void GetShaderInfoLog(GLuint shader, GLsizei size, GLsizei *length, GLchar *log) {
    entry<PFNGLGETSHADERINFOLOGPROC>(GL_ENTRY_GET_SHADER_INFO_LOG)(shader, size, length, log);
}
inline void DeleteProgram(GLuint program) {
    entry<PFNGLDELETEPROGRAMPROC>(GL_ENTRY_DELETE_PROGRAM)(program);
}
inline void DeleteShader(GLuint shader) {
    entry<PFNGLDELETESHADERPROC>(GL_ENTRY_DELETE_SHADER)(shader);
}

// Tool entry point i called through its type F:
// gl2::tool<PFNGLBINDFRAMEBUFFERPROC>(GL_TOOL_BIND_FRAMEBUFFER, GL_FRAMEBUFFER, name).
template <typename F, typename... Args> inline auto tool(GlToolEntryIndex i, Args... args) {
    return reinterpret_cast<F>(GlToolEntryPoints[i])(args...);
}
} // namespace gl2
