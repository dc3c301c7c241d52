// The ten GLSL programs every frame draws with, and their live rebuild from disk.
#pragma once
#include "gfx/gl.h"

#include <cstddef>

constexpr int SceneProgramCount = 9;
constexpr int ShaderPathSize = 128;
constexpr int ShaderTextBufferSize = 200000;
constexpr int ShaderLogSize = 4096; // the most of a compile or link log either build reads

// Program slot i is built from file i of the data folder (the list is gfx/scene_shader_files.inc).
extern const char SceneShaderFiles[SceneProgramCount][ShaderPathSize];
// 0 means no program. Readers take a handle at each use: a rebuild can change it.
extern GLuint SceneProgramTable[SceneProgramCount];
extern GLuint PostProgram;

// The built-in texts, each behind a pointer of its own whose address the compiler receives.
extern const char *VertexShaderText;
extern const char *PostShaderText;

// One static buffer for every file read by either build: nothing is allocated per file.
extern char ShaderTextBuffer[ShaderTextBufferSize];

// Reads at most capacity - 1 bytes of the file and a terminating zero behind them. Returns the
// bytes read, or -1 (text untouched) when the file cannot be opened.
long read_shader_file(const char *path, char *text, long capacity);

// The compile log of a shader that did not compile, else nullptr (compiled, or no log).
const char *failed_compile_log(GLuint shader, char (&log)[ShaderLogSize + 1]);

// Compiles and links all ten programs from the built-in texts and the scene files; a compile error
// or a file that cannot be opened shows a box and ends the build there.
void build_programs();

// The studio's build: shows no box and keeps what it cannot replace.
struct ProgramBuildFailure {
    char file[ShaderPathSize]; // the scene file (or built-in text) at fault; empty: none failed
    int line;                  // the line the compiler's message names, 0 when it names none
    char message[512];         // the compiler's or linker's first error, or why the file is unread
};
// Compiles and links every program anew and swaps in each one that linked; a slot whose file is
// missing or does not compile or link keeps the program it had (0 before any build). Returns how
// many programs failed; first_failure describes the first of them.
int build_programs_keeping(ProgramBuildFailure &first_failure);
// Fills failure from a compile or link log: its first error line and the line number it names,
// in the forms drivers write ("0:12(3): error", "0(12) : error", "ERROR: 0:12:").
void describe_shader_log(const char *file, const char *log, ProgramBuildFailure &failure);

// The one switch for building programs: what load_resources and the rebuild keys run, given the
// context it was switched in with. The plain demo's build_programs unless the studio switches in
// its own.
struct ProgramBuildSeam {
    void (*build)(void *context);
    void *context;
    void run() const { build(context); }
};
extern ProgramBuildSeam ProgramBuildHook;
extern const ProgramBuildSeam ProgramBuildPlain; // build_programs
