// The two-pass render every scene shares: its program into the 1024 x 512 region, a copy into the
// offscreen texture, and the post program over the whole window.
#pragma once
#include "gfx/gl.h"

constexpr int OffscreenWidth = 1024;
constexpr int OffscreenHeight = 512;

void scene_pass(GLuint program);
// Scene 1's credits cards over the finished frame (culling off, blending on, program slot 8).
void draw_credits_overlay(float a);
void draw_credit_card(float x, float y, float v, float alpha);

// The one way the scene scripts reach the GPU. Tests and tools swap these to run the timeline
// without drawing (see scene_seam_no_draw) or to record what a frame draws.
struct SceneDrawSeam {
    void (*pass)(GLuint program);
    void (*credits_overlay)(float a);
};
extern SceneDrawSeam SceneDraw;
// A seam that draws nothing.
extern const SceneDrawSeam SceneDrawNothing;
extern const SceneDrawSeam SceneDrawGl;

// SceneDraw swapped for the life of the scope; the seam it found is put back on the way out.
class SceneDrawScope {
  public:
    explicit SceneDrawScope(const SceneDrawSeam &seam) : found_(SceneDraw) { SceneDraw = seam; }
    ~SceneDrawScope() { SceneDraw = found_; }
    SceneDrawScope(const SceneDrawScope &) = delete;
    SceneDrawScope &operator=(const SceneDrawScope &) = delete;

  private:
    SceneDrawSeam found_;
};
