// The program that stretches the studio's preview (timeline/scene_pass.h, scene_pass_scaled),
// built from the built-in texts beside the scene programs and never by the plain demo.
#pragma once
#include "gfx/gl.h"

// Compiles and links it with the current context; 0 when the driver refuses it.
GLuint build_preview_stretch();
// Deletes it; 0 is nothing.
void release_preview_stretch(GLuint program);
