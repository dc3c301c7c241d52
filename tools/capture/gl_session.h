// The GL side of a capture: a hidden context, the demo's resources and a framebuffer of the
// capture's size that render_frame draws into.
#pragma once
#include "image.h"

#include <string>

// Shader errors and other boxes the core raises go to stderr; the count says whether any came.
void install_message_hook();
int message_count();

// A current context whose default framebuffer is replaced by an offscreen one of width x height;
// WindowWidth and WindowHeight are set to that size so the post pass covers it all.
bool open_gl(int width, int height, std::string &error);
void close_gl();

// load_resources; false when it failed or raised any box (a shader did not build).
bool load_demo_resources(std::string &error);

// The finished frame from the offscreen framebuffer.
Image read_frame();

// Builds a program of the shared vertex shader and the fragment text; 0 with the compile or link
// log in error.
unsigned build_scene_program(const std::string &fragment_text, const std::string &name,
                             std::string &error);

// The renderer string of the context, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
std::string gl_renderer();
