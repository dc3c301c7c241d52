// Desktop GLSL 1.20 shader texts made into WebGL 1 shaders when they are loaded, so that the data
// files stay the same on every platform.
#include "platform/web/web_gl.h"

#include <cstring>

const char WebModelviewName[] = "webModelview";
const char *const WebAttributeNames[3] = {"webVertex", "webMultiTexCoord0", "webColor"};

// gl_TexCoord is an array of varyings in 1.20; WebGL has no such built-in.
static const char CommonPrelude[] = "varying vec4 webTexCoord[1];\n"
                                    "#define gl_TexCoord webTexCoord\n";

static const char VertexPrelude[] = "attribute vec4 webVertex;\n"
                                    "attribute vec4 webMultiTexCoord0;\n"
                                    "attribute vec4 webColor;\n"
                                    "uniform mat4 webModelview;\n"
                                    "#define gl_Vertex webVertex\n"
                                    "#define gl_MultiTexCoord0 webMultiTexCoord0\n"
                                    "#define gl_Color webColor\n"
                                    "#define gl_ModelViewMatrix webModelview\n";

// fwidth needs the derivatives extension; the scenes' arithmetic wants full floats.
static const char FragmentPrelude[] = "#extension GL_OES_standard_derivatives : enable\n"
                                      "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
                                      "precision highp float;\n"
                                      "#else\n"
                                      "precision mediump float;\n"
                                      "#endif\n";

std::string web_shader_text(bool vertex, const char *text) {
    std::string out = vertex ? VertexPrelude : FragmentPrelude;
    out += CommonPrelude;
    out += "#line 1\n"; // the next line is the original's line 1
    for (const char *line = text; *line;) {
        const char *end = std::strchr(line, '\n');
        const size_t length = end ? static_cast<size_t>(end - line + 1) : std::strlen(line);
        const char *first = line + std::strspn(line, " \t");
        // The version line goes, its line end stays.
        if (std::strncmp(first, "#version", 8) == 0)
            out += end ? "\n" : "";
        else
            out.append(line, length);
        line += length;
    }
    return out;
}
