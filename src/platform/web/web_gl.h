// What the browser's GL layer and its shader adapter agree on: the names and places through which
// the fixed-function state reaches the shaders.
#pragma once
#include <string>

constexpr unsigned WebVertexAttribute = 0; // attribute 0 must be an array in WebGL: the position
constexpr unsigned WebTexCoordAttribute = 1;
constexpr unsigned WebColorAttribute = 2;
extern const char WebModelviewName[];

// A shader text written for desktop GLSL 1.20 made into one WebGL 1 compiles: the version line
// dropped, the built-in inputs and gl_TexCoord mapped to our own names, derivatives enabled and a
// precision given. Line numbers in the compiler's messages stay those of the original text.
std::string web_shader_text(bool vertex, const char *text);
// The attribute names, bound to the places above before each link.
extern const char *const WebAttributeNames[3];
