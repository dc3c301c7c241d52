#include "timeline/scene_pass.h"

#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/window.h"
#include "timeline/parameter_block.h"

static void gl_pass(void *, GLuint program) {
    scene_pass(program);
}
static void gl_credits(void *, float a) {
    draw_credits_overlay(a);
}
static void no_pass(void *, GLuint) {}
static void no_overlay(void *, float) {}
constexpr SceneDrawSeam SceneDrawGl = {gl_pass, gl_credits, nullptr};
constexpr SceneDrawSeam SceneDrawNothing = {no_pass, no_overlay, nullptr};
SceneDrawSeam SceneDraw = SceneDrawGl;

// The scene's program over the lower left width x height pixels of the region.
static void draw_scene_program(GLuint program, int width, int height) {
    glDisable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    // Column-major: float k reaches the shaders as parameters[k / 4][k % 4].
    glLoadMatrixf(ParameterBlock);

    // A sphere of radius 2 flattened by the vertex shader covers the whole viewport; culling
    // keeps its front half, so every pixel is shaded exactly once.
    glViewport(0, 0, width, height);
    gl2::UseProgram(program);
    glBindTexture(GL_TEXTURE_2D, NoiseTexture);
    gluSphere(SceneQuadric, 2.0, 16, 16);
}

// The region copied into the offscreen texture, and the post program over the whole window.
static void copy_and_post() {
    glViewport(0, 0, WindowWidth, WindowHeight);
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, OffscreenWidth, OffscreenHeight);
    gl2::UseProgram(PostProgram);
    gluSphere(SceneQuadric, 2.0, 16, 16);
}

void scene_pass(GLuint program) {
    draw_scene_program(program, OffscreenWidth, OffscreenHeight);
    copy_and_post();
}

void scene_pass_scaled(GLuint program, int divisor, GLuint stretch) {
    if (divisor <= 1 || !stretch) return scene_pass(program);
    const int width = OffscreenWidth / divisor, height = OffscreenHeight / divisor;
    draw_scene_program(program, width, height);
    // The small picture into the texture's corner, then stretched over the whole region; the
    // stretch reads its share of the texture where the scenes read their parameters.
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    const float share = 1.0f / static_cast<float>(divisor);
    const float stretch_parameters[16] = {share, share};
    glLoadMatrixf(stretch_parameters);
    glViewport(0, 0, OffscreenWidth, OffscreenHeight);
    gl2::UseProgram(stretch);
    gluSphere(SceneQuadric, 2.0, 16, 16);
    glLoadMatrixf(&ParameterBlock[0]); // the post program reads the frame's own
    copy_and_post();
}
