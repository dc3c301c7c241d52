// Start-up loading of everything the frames draw with.
#pragma once
#include "gfx/gl.h"

// Made once at load: the scene passes draw their sphere with it.
extern GLUquadric *SceneQuadric;

// The steps of load_resources in its order; each returns 0 when the run must end. The benchmark
// times them one by one.
struct LoadStep {
    const char *name;
    int (*run)();
};
constexpr int LoadStepCount = 4;
extern const LoadStep LoadSteps[LoadStepCount];

// Entry points, noise, programs, textures, the scene quadric. Returns 0 when the context lacks an
// OpenGL 2.0 function (after showing a box naming it); the run must then end.
int load_resources();
