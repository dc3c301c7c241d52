// The fixed-function OpenGL calls the core makes, on WebGL 1, which has none of them.
//   [x] glMatrixMode / glLoadMatrixf: the matrix reaches the shaders as gl_ModelViewMatrix
//   [x] glBegin(GL_QUADS), glTexCoord2f, glColor4f, glVertex3f, glEnd: each quad as two triangles
//   [x] the current colour and texture coordinate stay for later draws, as in OpenGL 1.1
//   [x] gluNewQuadric / gluSphere: the sphere's front faces wound counter-clockwise, no texture
//       coordinates (the current one applies), as GLU draws it by default
//   [x] gluBuild2DMipmaps from BGRA bytes, its levels filtered as GLU filters them, not as the
//       browser's glGenerateMipmap would; glTexImage2D with GL_RGBA8
//   [ ] mipmaps of images that are not square powers of two: the core makes none
//   [x] glEnable / glDisable of GL_TEXTURE_2D: nothing (shaders sample whatever is bound)
//   [x] no program in use: nothing drawn, without WebGL's complaint every frame
//   [ ] other primitives, matrix modes than the modelview, matrix stacks: the core uses none
// Why not emscripten's legacy emulation: it has no quadric and no mipmap builder, rewrites every
// shader through its own parser, and adds its whole immediate-mode machinery to the page.
#include "platform/web/box_filter_mipmaps.h"
#include "platform/web/web_gl.h"

#include <webgl/webgl1.h>

#include <cmath>
#include <cstring>
#include <vector>

// Opaque to the core; GLU's header declares it a class.
class GLUquadric {};
typedef double GLdouble;

namespace {

constexpr GLenum QuadsMode = 0x0007;     // GL_QUADS
constexpr GLenum ModelviewMode = 0x1700; // GL_MODELVIEW
constexpr GLenum BgraFormat = 0x80E1;    // GL_BGRA
constexpr GLenum Rgba8Format = 0x8058;   // GL_RGBA8

struct Vertex {
    float position[3];
    float tex_coord[4];
    float color[4];
};

GLenum MatrixMode = ModelviewMode;
float Modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Vertex Current = {{0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}};
std::vector<Vertex> Immediate;
bool Collecting = false;
GLuint ImmediateBuffer = 0;

GLuint SphereBuffer = 0;
GLsizei SphereVertexCount = 0;
double SphereKey[3] = {0, 0, 0}; // radius, slices, stacks of the sphere in the buffer

// Before every draw: the matrix and the attributes that are constant across it. False when no
// program is in use (a build that stopped before a slot's file): natively the fixed function would
// draw, WebGL draws nothing and complains every frame, so nothing is drawn quietly.
bool prepare_draw() {
    GLint program = 0;
    emscripten_glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    if (!program) return false;
    GLint at = emscripten_glGetUniformLocation(static_cast<GLuint>(program), WebModelviewName);
    if (at >= 0) emscripten_glUniformMatrix4fv(at, 1, GL_FALSE, Modelview);
    emscripten_glVertexAttrib4fv(WebTexCoordAttribute, Current.tex_coord);
    emscripten_glVertexAttrib4fv(WebColorAttribute, Current.color);
    return true;
}

void sphere_vertex(std::vector<float> &out, double radius, double rho, double theta) {
    out.push_back(static_cast<float>(radius * -std::sin(theta) * std::sin(rho)));
    out.push_back(static_cast<float>(radius * std::cos(theta) * std::sin(rho)));
    out.push_back(static_cast<float>(radius * std::cos(rho)));
}

// Triangles of the sphere from the pole at +z down, each wound counter-clockwise seen from
// outside.
void build_sphere(double radius, int slices, int stacks) {
    std::vector<float> points;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < stacks; ++i) {
        const double rho0 = pi * i / stacks, rho1 = pi * (i + 1) / stacks;
        for (int j = 0; j < slices; ++j) {
            const double theta0 = 2 * pi * j / slices, theta1 = 2 * pi * (j + 1) / slices;
            sphere_vertex(points, radius, rho0, theta0);
            sphere_vertex(points, radius, rho1, theta0);
            sphere_vertex(points, radius, rho1, theta1);
            sphere_vertex(points, radius, rho0, theta0);
            sphere_vertex(points, radius, rho1, theta1);
            sphere_vertex(points, radius, rho0, theta1);
        }
    }
    if (!SphereBuffer) emscripten_glGenBuffers(1, &SphereBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, SphereBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(points.size() * 4),
                            points.data(), GL_STATIC_DRAW);
    SphereVertexCount = static_cast<GLsizei>(points.size() / 3);
    SphereKey[0] = radius, SphereKey[1] = slices, SphereKey[2] = stacks;
}

} // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
    MatrixMode = mode;
}

void glLoadMatrixf(const GLfloat *m) {
    if (MatrixMode == ModelviewMode) std::memcpy(Modelview, m, sizeof Modelview);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Current.color[0] = r, Current.color[1] = g, Current.color[2] = b, Current.color[3] = a;
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    Current.tex_coord[0] = s, Current.tex_coord[1] = t, Current.tex_coord[2] = 0;
    Current.tex_coord[3] = 1;
}

void glBegin(GLenum mode) {
    Immediate.clear();
    Collecting = mode == QuadsMode; // the only primitive the core draws
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!Collecting) return;
    Vertex v = Current;
    v.position[0] = x, v.position[1] = y, v.position[2] = z;
    Immediate.push_back(v);
}

void glEnd() {
    std::vector<Vertex> triangles;
    for (size_t q = 0; q + 4 <= Immediate.size(); q += 4)
        for (size_t k : {0, 1, 2, 0, 2, 3}) triangles.push_back(Immediate[q + k]);
    Immediate.clear();
    if (triangles.empty() || !prepare_draw()) return;
    if (!ImmediateBuffer) emscripten_glGenBuffers(1, &ImmediateBuffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, ImmediateBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER,
                            static_cast<GLsizeiptr>(triangles.size() * sizeof(Vertex)),
                            triangles.data(), GL_STREAM_DRAW);
    const GLsizei stride = sizeof(Vertex);
    emscripten_glVertexAttribPointer(WebVertexAttribute, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    emscripten_glVertexAttribPointer(WebTexCoordAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(Vertex, tex_coord)));
    emscripten_glVertexAttribPointer(WebColorAttribute, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void *>(offsetof(Vertex, color)));
    for (GLuint a : {WebVertexAttribute, WebTexCoordAttribute, WebColorAttribute})
        emscripten_glEnableVertexAttribArray(a);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(triangles.size()));
    emscripten_glDisableVertexAttribArray(WebTexCoordAttribute);
    emscripten_glDisableVertexAttribArray(WebColorAttribute);
}

GLUquadric *gluNewQuadric() {
    static GLUquadric quadric;
    return &quadric;
}

void gluSphere(GLUquadric *, GLdouble radius, GLint slices, GLint stacks) {
    if (SphereKey[0] != radius || SphereKey[1] != slices || SphereKey[2] != stacks)
        build_sphere(radius, slices, stacks);
    if (!prepare_draw()) return;
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, SphereBuffer);
    emscripten_glVertexAttribPointer(WebVertexAttribute, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    emscripten_glEnableVertexAttribArray(WebVertexAttribute);
    emscripten_glDrawArrays(GL_TRIANGLES, 0, SphereVertexCount);
}

GLint gluBuild2DMipmaps(GLenum target, GLint, GLsizei width, GLsizei, GLenum format, GLenum type,
                        const void *data) {
    const unsigned char *bytes = static_cast<const unsigned char *>(data);
    std::vector<unsigned char> level(bytes, bytes + static_cast<size_t>(width) * width * 4);
    if (format == BgraFormat)
        for (size_t i = 0; i < level.size(); i += 4) std::swap(level[i], level[i + 2]);
    // Every level down to 1 x 1, each from the one above, as GLU makes them natively.
    for (GLint k = 0;; ++k, width /= 2) {
        emscripten_glTexImage2D(target, k, GL_RGBA, width, width, 0, GL_RGBA, type, level.data());
        if (width == 1) return 0;
        level = next_mipmap_level(level.data(), width);
    }
}

void glTexImage2D(GLenum target, GLint level, GLint internal_format, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void *pixels) {
    if (internal_format == static_cast<GLint>(Rgba8Format)) {
        // A texture without pixels is the target of the back buffer's copy, which has no alpha
        // here as on the native targets, and WebGL copies only the channels the source has.
        internal_format = pixels ? GL_RGBA : GL_RGB;
        if (!pixels) format = GL_RGB;
    }
    emscripten_glTexImage2D(target, level, internal_format, width, height, border, format, type,
                            pixels);
}

void glEnable(GLenum capability) {
    if (capability != GL_TEXTURE_2D) emscripten_glEnable(capability);
}

void glDisable(GLenum capability) {
    if (capability != GL_TEXTURE_2D) emscripten_glDisable(capability);
}

} // extern "C"
