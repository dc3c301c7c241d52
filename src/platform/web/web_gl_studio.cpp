// The OpenGL 1.1 calls only the studio's overlay makes. The page plays the plain demo and never
// starts the studio, so these exist for the link alone: reaching one is a fault, said and stopped.
#include <cstdio>
#include <cstdlib>

typedef unsigned GLenum;
typedef unsigned GLbitfield;
typedef int GLint;
typedef int GLsizei;
typedef float GLfloat;
typedef double GLdouble;

[[noreturn]] static void studio_only(const char *name) {
    std::fprintf(stderr, "%s: the studio's overlay is not drawn in the browser\n", name);
    std::abort();
}

extern "C" {
#define STUDIO_ONLY(name, ...)                                                                     \
    void name(__VA_ARGS__) {                                                                       \
        studio_only(#name);                                                                        \
    }
STUDIO_ONLY(glPushAttrib, GLbitfield)
STUDIO_ONLY(glPopAttrib)
STUDIO_ONLY(glPushClientAttrib, GLbitfield)
STUDIO_ONLY(glPopClientAttrib)
STUDIO_ONLY(glPushMatrix)
STUDIO_ONLY(glPopMatrix)
STUDIO_ONLY(glOrtho, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble)
STUDIO_ONLY(glPolygonMode, GLenum, GLenum)
STUDIO_ONLY(glRectf, GLfloat, GLfloat, GLfloat, GLfloat)
STUDIO_ONLY(glEnableClientState, GLenum)
STUDIO_ONLY(glDisableClientState, GLenum)
STUDIO_ONLY(glColorPointer, GLint, GLenum, GLsizei, const void *)
}
