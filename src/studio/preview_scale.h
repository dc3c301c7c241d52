// The studio's preview scale: the scene pass drawn at a half or a quarter of its size and
// stretched over the 1024 x 512 region, for fluid motion rather than detail on a slow machine.
// The copy, the post pass and the credits stay as they are; only the studio's seam scales, so
// the plain demo and the capture tool never do.
#pragma once
#include "gfx/gl.h"
#include "timeline/scene_pass.h"

struct PreviewScale {
    int divisor = 1;    // 1, 2 or 4: the scene's program draws 1024/divisor x 512/divisor pixels
    GLuint stretch = 0; // the program that stretches them; 0 before preview_start
};

// With the GL context current: builds the stretch program. Until then, or when the driver
// refuses it, the scale stays 1.
void preview_start(PreviewScale &preview);
// The S key: 1 -> 1/2 -> 1/4 -> 1.
void preview_next(PreviewScale &preview);
// The scene passes at the preview's scale, the credits as always: the studio's SceneDraw.
SceneDrawSeam preview_seam(PreviewScale &preview);
// Releases the program (the seam draws at full size from here on); the divisor stays, for the
// studio's figures at exit.
void preview_end(PreviewScale &preview);
