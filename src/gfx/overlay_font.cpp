#include "gfx/overlay_font.h"

#include "gfx/gl_entry_points.h"
#include "platform/window.h"

#include <stb/stb_easy_font.h>

namespace {

// x, y, z as floats and four colour bytes per vertex, four vertices per quad: about 270 bytes a
// character, so room for some 900 characters.
char Vertices[1 << 18];
constexpr int Margin = 4; // font pixels

} // namespace

int overlay_scale(int window_height) {
    const int scale = (window_height + 144) / 360;
    return scale < 1 ? 1 : scale;
}

void draw_overlay_text(const char *text) {
    char *lines = const_cast<char *>(text); // the font's functions only read it
    const int quads =
        stb_easy_font_print(Margin, Margin, lines, nullptr, Vertices, sizeof Vertices);
    const float right = static_cast<float>(Margin + stb_easy_font_width(lines) + 2);
    const float bottom = static_cast<float>(Margin + stb_easy_font_height(lines) + 1);

    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT |
                 GL_TRANSFORM_BIT | GL_POLYGON_BIT | GL_DEPTH_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    gl2::UseProgram(0);

    glViewport(0, 0, WindowWidth, WindowHeight);
    const int scale = overlay_scale(WindowHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // Font pixels, y down, each `scale` window pixels wide.
    glOrtho(0.0, static_cast<double>(WindowWidth) / scale,
            static_cast<double>(WindowHeight) / scale, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);

    glColor4f(0.0f, 0.0f, 0.0f, 0.6f);
    glRectf(Margin - 2.0f, Margin - 2.0f, right, bottom);

    glDisable(GL_BLEND); // the letters are opaque
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(2, GL_FLOAT, 16, Vertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, 16, Vertices + 12);
    glDrawArrays(GL_QUADS, 0, quads * 4);

    glPopMatrix(); // modelview
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib(); // the matrix mode, viewport, enables, blending and colour
    gl2::UseProgram(static_cast<GLuint>(program));
}

void overlay_submit_frame() {
    glFlush();
}
