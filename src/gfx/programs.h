// The ten GLSL programs every frame draws with, and their live rebuild from disk.
#pragma once
#include "gfx/gl.h"

constexpr int SceneProgramCount = 9;
constexpr int ShaderPathSize = 128;
constexpr int ShaderTextBufferSize = 200000;

// Program slot i is built from file i of the data folder (the list is gfx/scene_shader_files.inc).
extern const char SceneShaderFiles[SceneProgramCount][ShaderPathSize];
// 0 means no program. Readers take a handle at each use: a rebuild can change it.
extern GLuint SceneProgramTable[SceneProgramCount];
extern GLuint PostProgram;

// The built-in texts, each behind a pointer of its own whose address the compiler receives.
extern const char *VertexShaderText;
extern const char *PostShaderText;

// Reads at most capacity - 1 bytes of the file and a terminating zero behind them. Returns the
// bytes read, or -1 (text untouched) when the file cannot be opened.
long read_shader_file(const char *path, char *text, long capacity);

// Compiles and links all ten programs from the built-in texts and the scene files; a compile error
// or a file that cannot be opened shows a box and ends the build there.
void build_programs();
