// The two-pass render every scene shares: its program into the 1024 x 512 region, a copy into the
// offscreen texture, and the post program over the whole window.
#pragma once
#include "gfx/gl.h"

constexpr int OffscreenWidth = 1024;
constexpr int OffscreenHeight = 512;

void scene_pass(GLuint program);
// The studio's preview: the scene's program over 1024/divisor x 512/divisor pixels, stretched by
// the `stretch` program (gfx/preview_stretch.h) over the whole region, then copied and finished as
// scene_pass does. Divisor 1, or no stretch program, is scene_pass itself.
void scene_pass_scaled(GLuint program, int divisor, GLuint stretch);
// Scene 1's credits cards over the finished frame (culling off, blending on, program slot 8).
void draw_credits_overlay(float a);
void draw_credit_card(float x, float y, float v, float alpha);

// The one way the scene scripts reach the GPU: SceneDraw.pass(program), .credits_overlay(a). Tests,
// tools and the studio swap the functions, with a context of their own, to run the timeline
// without drawing, to record what a frame draws or to draw it otherwise.
struct SceneDrawSeam {
    void (*draw_pass)(void *context, GLuint program);
    void (*draw_credits)(void *context, float a);
    void *context;
    void pass(GLuint program) const { draw_pass(context, program); }
    void credits_overlay(float a) const { draw_credits(context, a); }
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
