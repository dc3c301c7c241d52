#include "gl_session.h"

#include "gfx/builtin_shaders.h"
#include "gfx/gl.h"
#include "gfx/gl_entry_points.h"
#include "gfx/resources.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <algorithm>
#include <cstdio>

namespace {

int Messages = 0;

void print_message(void *, const char *text, const char *caption, int) {
    ++Messages;
    std::fprintf(stderr, "demo-capture: %s: %s\n", caption, text);
}

GLuint Framebuffer = 0;
GLuint Colour = 0;
bool ContextOpen = false;

} // namespace

void install_message_hook() {
    MessageBoxHook = print_message;
}

int message_count() {
    return Messages;
}

bool open_gl(int width, int height, std::string &error) {
    if (!headless_context_init(width, height)) {
        error = std::string("no OpenGL context: ") + headless_context_error();
        headless_context_end();
        return false;
    }
    ContextOpen = true;
    std::string missing;
    if (!fetch_gl_tool_entry_points(missing)) {
        error = std::string("the OpenGL driver lacks calls the capture needs: no ") + missing;
        return false;
    }
    gl2::tool<PFNGLGENRENDERBUFFERSPROC>(GL_TOOL_GEN_RENDERBUFFERS, 1, &Colour);
    gl2::tool<PFNGLBINDRENDERBUFFERPROC>(GL_TOOL_BIND_RENDERBUFFER, GL_RENDERBUFFER, Colour);
    gl2::tool<PFNGLRENDERBUFFERSTORAGEPROC>(GL_TOOL_RENDERBUFFER_STORAGE, GL_RENDERBUFFER, GL_RGBA8,
                                            width, height);
    gl2::tool<PFNGLGENFRAMEBUFFERSPROC>(GL_TOOL_GEN_FRAMEBUFFERS, 1, &Framebuffer);
    gl2::tool<PFNGLBINDFRAMEBUFFERPROC>(GL_TOOL_BIND_FRAMEBUFFER, GL_FRAMEBUFFER, Framebuffer);
    gl2::tool<PFNGLFRAMEBUFFERRENDERBUFFERPROC>(GL_TOOL_FRAMEBUFFER_RENDERBUFFER, GL_FRAMEBUFFER,
                                                GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, Colour);
    if (gl2::tool<PFNGLCHECKFRAMEBUFFERSTATUSPROC>(GL_TOOL_CHECK_FRAMEBUFFER_STATUS,
                                                   GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "cannot make a " + std::to_string(width) + "x" + std::to_string(height) +
                " offscreen framebuffer";
        return false;
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    WindowWidth = width;
    WindowHeight = height;
    return true;
}

void close_gl() {
    if (!ContextOpen) return;
    if (Framebuffer)
        gl2::tool<PFNGLDELETEFRAMEBUFFERSPROC>(GL_TOOL_DELETE_FRAMEBUFFERS, 1, &Framebuffer);
    if (Colour) gl2::tool<PFNGLDELETERENDERBUFFERSPROC>(GL_TOOL_DELETE_RENDERBUFFERS, 1, &Colour);
    Framebuffer = Colour = 0;
    headless_context_end();
    ContextOpen = false;
}

bool load_demo_resources(std::string &error) {
    const int before = Messages;
    if (!load_resources() || Messages != before) {
        error = "the demo's resources did not load (see above)";
        return false;
    }
    return true;
}

Image read_frame() {
    Image image;
    image.width = WindowWidth;
    image.height = WindowHeight;
    const std::size_t row = static_cast<std::size_t>(image.width) * 3;
    std::vector<unsigned char> bottom_up(row * image.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, bottom_up.data());
    image.rgb.resize(bottom_up.size());
    for (int y = 0; y < image.height; ++y)
        std::copy_n(&bottom_up[(image.height - 1 - y) * row], row, &image.rgb[y * row]);
    return image;
}

unsigned build_scene_program(const std::string &fragment_text, const std::string &name,
                             std::string &error) {
    char log[4097];
    GLsizei length = 0;
    GLint status = 0;
    auto compile = [&](GLenum type, const char *text, const char *what) -> GLuint {
        GLuint shader = gl2::CreateShader(type);
        gl2::ShaderSource(shader, 1, &text, nullptr);
        gl2::CompileShader(shader);
        gl2::GetShaderiv(shader, GL_COMPILE_STATUS, &status);
        if (status) return shader;
        gl2::GetShaderInfoLog(shader, 4096, &length, log);
        log[length] = 0;
        error = std::string(what) + " does not compile:\n" + log;
        gl2::DeleteShader(shader);
        return 0;
    };
    GLuint vertex = compile(GL_VERTEX_SHADER, vMainObject, "the shared vertex shader");
    if (!vertex) return 0;
    GLuint fragment = compile(GL_FRAGMENT_SHADER, fragment_text.c_str(), name.c_str());
    if (!fragment) {
        gl2::DeleteShader(vertex);
        return 0;
    }
    GLuint program = gl2::CreateProgram();
    gl2::AttachShader(program, vertex);
    gl2::AttachShader(program, fragment);
    gl2::LinkProgram(program);
    gl2::DeleteShader(vertex);
    gl2::DeleteShader(fragment);
    gl2::tool<PFNGLGETPROGRAMIVPROC>(GL_TOOL_GET_PROGRAMIV, program, GL_LINK_STATUS, &status);
    if (!status) {
        gl2::tool<PFNGLGETPROGRAMINFOLOGPROC>(GL_TOOL_GET_PROGRAM_INFO_LOG, program, 4096, &length,
                                              log);
        log[length] = 0;
        error = name + " does not link:\n" + log;
        gl2::DeleteProgram(program);
        return 0;
    }
    return program;
}

std::string gl_renderer() {
    const GLubyte *text = glGetString(GL_RENDERER);
    return text ? reinterpret_cast<const char *>(text) : "unknown";
}
