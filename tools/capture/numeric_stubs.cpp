// What the numeric core links against but never reaches while nothing is drawn: the GL state and
// calls, MIDI input and the clipboard. A drawing call or mode reached here is a fault, said loudly.
#include "capture_link.h"
#include "capture_modes.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/clipboard.h"
#include "platform/midi_in.h"
#include "platform/window.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] static void drawn(const char *what) {
    std::fprintf(stderr, "numeric-only build: %s reached\n", what);
    std::abort();
}

int WindowWidth = 0, WindowHeight = 0;
GLuint NoiseTexture = 0, OffscreenTexture = 0, CreditsTexture = 0;
GLuint SceneProgramTable[SceneProgramCount] = {};
GLuint PostProgram = 0;
GLUquadric *SceneQuadric = nullptr;
void *GlEntryPoints[GL_ENTRY_COUNT] = {};

extern "C" {
#define DRAWN(name, ...)                                                                           \
    void APIENTRY name(__VA_ARGS__) {                                                              \
        drawn(#name);                                                                              \
    }
DRAWN(glBegin, GLenum)
DRAWN(glEnd)
// render_frame restores culling on every frame, drawn or not; with no context GL ignores it too.
void APIENTRY glEnable(GLenum) {}
DRAWN(glBindTexture, GLenum, GLuint)
DRAWN(glBlendFunc, GLenum, GLenum)
DRAWN(glColor4f, GLfloat, GLfloat, GLfloat, GLfloat)
DRAWN(glCopyTexSubImage2D, GLenum, GLint, GLint, GLint, GLint, GLint, GLsizei, GLsizei)
DRAWN(glDisable, GLenum)
DRAWN(glLoadMatrixf, const GLfloat *)
DRAWN(glMatrixMode, GLenum)
DRAWN(glTexCoord2f, GLfloat, GLfloat)
DRAWN(glVertex3f, GLfloat, GLfloat, GLfloat)
DRAWN(glViewport, GLint, GLint, GLsizei, GLsizei)
DRAWN(gluSphere, GLUquadric *, GLdouble, GLint, GLint)
}

unsigned midi_in_open_all(MidiShortMessageHandler, unsigned) {
    return 0;
}
void midi_in_close_all() {}
bool copy_to_clipboard(const char *) {
    return false;
}

#define DRAWING_MODE(name, flag)                                                                   \
    int name(const CaptureOptions &) {                                                             \
        drawn(flag);                                                                               \
    }
DRAWING_MODE(run_render, "--out")
DRAWING_MODE(run_shader, "--shader")
DRAWING_MODE(run_contact_sheet, "--contact-sheet")
DRAWING_MODE(run_bench, "--bench")
DRAWING_MODE(run_bench_capture, "--bench-capture")
DRAWING_MODE(run_join, "--join")

// No zlib here to inflate a link with: refused as any link this program cannot open.
bool apply_capture_link(CaptureOptions &, std::string &error) {
    error = "this numeric-only build opens no links";
    return false;
}

// Nor to deflate one with.
int run_make_link(const CaptureOptions &) {
    std::fputs("demo-capture: this numeric-only build makes no links\n", stderr);
    return ExitUsage;
}
