#include "timeline/scene_pass.h"

#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/window.h"
#include "timeline/parameter_block.h"

const SceneDrawSeam SceneDrawGl = {scene_pass, draw_credits_overlay};
static void no_pass(GLuint) {}
static void no_overlay(float) {}
const SceneDrawSeam SceneDrawNothing = {no_pass, no_overlay};
SceneDrawSeam SceneDraw = SceneDrawGl;

void scene_pass(GLuint program) {
    glDisable(GL_BLEND);
    glMatrixMode(GL_MODELVIEW);
    // Column-major: float k reaches the shaders as parameters[k / 4][k % 4].
    glLoadMatrixf(ParameterBlock);

    // A sphere of radius 2 flattened by the vertex shader covers the whole viewport; culling
    // keeps its front half, so every pixel is shaded exactly once.
    glViewport(0, 0, OffscreenWidth, OffscreenHeight);
    gl2::UseProgram(program);
    glBindTexture(GL_TEXTURE_2D, NoiseTexture);
    gluSphere(SceneQuadric, 2.0, 16, 16);

    glViewport(0, 0, WindowWidth, WindowHeight);
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, OffscreenWidth, OffscreenHeight);
    gl2::UseProgram(PostProgram);
    gluSphere(SceneQuadric, 2.0, 16, 16);
}
