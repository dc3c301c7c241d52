// The headless WGL context with the GL lookup through it. The music calls with no music file are
// the real demo's run under Wine (demo_heard.sh: silence, and the picture goes on).
#include "check.h"
#include "platform/gl_proc.h"
#include "platform/headless_context.h"
#include "platform/window.h"
#include "platform/win32/win32_internals.h"

#include <GL/gl.h>

static void headless_context() {
    CHECK(headless_context_init(64, 32) == 1);
    CHECK(wglGetCurrentContext() != nullptr);
    CHECK(WindowWidth == 64 && WindowHeight == 32);
    CHECK(glGetString(GL_VERSION) != nullptr);
    // The 2.0 entry points come through wglGetProcAddress; an unknown name comes back null.
    CHECK(gl_proc_address("glCreateShader") != nullptr);
    CHECK(gl_proc_address("glTexImage3D") != nullptr);
    CHECK(gl_proc_address("glNoSuchFunction") == nullptr);
    headless_context_end();
    CHECK(wglGetCurrentContext() == nullptr);
    // A second context after the first is gone: the class was unregistered with it.
    CHECK(headless_context_init(16, 16) == 1);
    headless_context_end();
}

void context_checks() {
    headless_context();
}
