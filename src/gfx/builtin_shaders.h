// The shader texts compiled into the executable.
#pragma once

extern const char *const vMainObject;     // the vertex shader every program shares
extern const char *const fOffscreeCopy;   // the post-processing fragment shader
extern const char *const fPreviewStretch; // the studio's preview: a small picture stretched
