// Rendering the demo's own programs headless into floating-point targets, for the content checks.
#pragma once
#include "gfx/gl.h"

#include <functional>
#include <string>
#include <vector>

// Compile errors and other boxes that load_resources raised, caught instead of shown.
extern std::vector<std::string> ContentBoxes;

// Once per process: a headless context, the repository root as working directory (where data/
// lies) and the demo's resources loaded. False when any of it failed.
bool content_gl_ready();

// Fetched through gl_proc_address: the demo itself needs none of them.
extern PFNGLGETPROGRAMIVPROC glGetProgramiv_;
extern PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog_;

struct FloatFrame {
    int width = 0;
    int height = 0;
    std::vector<float> rgba; // bottom row first
};

// The scene checks render at half the demo's size: the shaders depend on objectPosition, not on
// the pixel count, and llvmpipe takes a quarter of the time.
constexpr int CheckWidth = 512;
constexpr int CheckHeight = 256;

// Runs `draw` into a fresh RGBA32F target of the given size cleared to grey `clear`, with the
// viewport on the whole target, and reads it back.
FloatFrame render_float(int width, int height, float clear, const std::function<void()> &draw);

// One pass of `program` with the current ParameterBlock and the noise texture, as scene_pass
// draws it but into an RGBA32F target, so that NaN and infinity survive to be seen.
FloatFrame render_program(GLuint program, int width = CheckWidth, int height = CheckHeight);

// Scene 1 to 9 at local time `local` through its own script; the frame its program drew (scene
// 1's credits overlay left out).
FloatFrame render_scene(int scene, float local);

// Sets every listed controller as if a MIDI message with data byte `data` had arrived; release
// puts them back to their defaults.
void turn_controllers(const std::vector<int> &controllers, int data);
void release_controllers(const std::vector<int> &controllers);

struct FrameStats {
    long non_finite = 0; // channels that are NaN or infinite
    double luma_mean = 0.0;
    double luma_deviation = 0.0; // of the luma clamped to 0..1, as the screen shows it
};
FrameStats frame_stats(const FloatFrame &frame);

// Mean over pixels and the three colour channels of |a - b|, each clamped to 0..1.
double mean_abs_difference(const FloatFrame &a, const FloatFrame &b);
