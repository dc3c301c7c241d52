// Start-up loading of everything the frames draw with.
#pragma once

// Entry points, noise, programs, textures, the scene quadric. Returns 0 when the context lacks an
// OpenGL 2.0 function (after showing a box naming it); the run must then end.
int load_resources();
