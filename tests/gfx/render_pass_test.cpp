// One scene pass with a scene shader of the test's own in slot 0: what reaches the shader, what
// the offscreen copy holds and what the post pass puts in the window.
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "platform/window.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct Picture {
    int width;
    std::vector<unsigned char> rgba; // rows from the bottom
    float at(int x, int y, int c) const { return rgba[(y * width + x) * 4 + c] / 255.0f; }
};

// Builds the programs with `main` as slot 0's shader and zeroed slots, as render_frame leaves
// them; the folder is the working directory while it lives.
std::unique_ptr<ShaderFolder> build_with(const std::string &main) {
    auto folder = std::make_unique<ShaderFolder>(ShaderFiles{
        {SceneShaderFiles[0],
         "#version 120\nvarying vec3 objectPosition;\nvarying mat4 parameters;\n" + main}});
    Boxes.clear();
    build_programs();
    EXPECT_TRUE(Boxes.empty()) << (Boxes.empty() ? "" : Boxes[0].text);
    for (float &slot : ParameterBlock) slot = 0.0f;
    glEnable(GL_CULL_FACE);
    return folder;
}

// The scene draw as the offscreen texture holds it, and the window after the post pass.
Picture offscreen() {
    Picture p{OffscreenWidth, std::vector<unsigned char>(OffscreenWidth * OffscreenHeight * 4)};
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    return p;
}
Picture window() {
    Picture p{WindowWidth, std::vector<unsigned char>(WindowWidth * WindowHeight * 4)};
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, p.rgba.data());
    return p;
}

TEST(RenderPass, EverySlotReachesParametersColumnMajorAndObjectPositionSpansTheRegion) {
    // Column k of the picture shows slot k, read as parameters[k / 4][k % 4]; green and blue show
    // objectPosition from 0 at the lower left to 1 at the upper right.
    const auto folder =
        build_with("void main(void) {\n"
                   "  int k = int(floor((objectPosition.x * 0.5 + 0.5) * 16.0));\n"
                   "  float v = 0.0;\n"
                   "  for (int i = 0; i < 4; ++i) for (int j = 0; j < 4; ++j)\n"
                   "    if (i * 4 + j == k) v = parameters[i][j];\n"
                   "  gl_FragColor = vec4(v, objectPosition.xy * 0.5 + 0.5, 1.0);\n}\n");
    for (int k = 0; k < 16; ++k) ParameterBlock[k] = (k + 0.5f) / 16.0f;
    scene_pass(SceneProgramTable[0]);
    const Picture p = offscreen();
    for (int k = 0; k < 16; ++k)
        EXPECT_NEAR(p.at(k * 64 + 32, 256, 0), (k + 0.5f) / 16.0f, 1.0 / 255);
    const float corners[][4] = {{0, 0, 0, 0}, {1023, 511, 1, 1}, {512, 256, 0.5f, 0.5f}};
    for (const auto &[x, y, u, v] : corners) {
        EXPECT_NEAR(p.at(int(x), int(y), 1), u, 2.0 / 255) << x;
        EXPECT_NEAR(p.at(int(x), int(y), 2), v, 2.0 / 255) << x;
    }
}

TEST(RenderPass, ThePostPassShowsThePictureOnceOverTheWholeWindowWithItsVignette) {
    // Left half red, right half green, upper half blue: position and orientation survive.
    const auto folder = build_with(
        "void main(void) {\n"
        "  gl_FragColor = vec4(step(objectPosition.x, 0.0), step(0.0, objectPosition.x),\n"
        "                      step(0.0, objectPosition.y), 1.0);\n}\n");
    // Whatever state the frame before left: the pass sets what it draws with.
    glEnable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    scene_pass(SceneProgramTable[0]);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    const Picture p = window();
    const int w = WindowWidth, h = WindowHeight;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const bool right = quarter & 1, upper = quarter & 2;
        const int x = right ? 3 * w / 4 : w / 4, y = upper ? 3 * h / 4 : h / 4;
        EXPECT_EQ(p.at(x, y, 0) > 0.3f, !right) << quarter;
        EXPECT_EQ(p.at(x, y, 1) > 0.3f, right) << quarter;
        EXPECT_EQ(p.at(x, y, 2) > 0.3f, upper) << quarter;
    }
    // On grey, which the closing desaturation leaves alone, the corner under the vignette gets
    // 0.12 of 0.99 grey plus grain in [-0.03, 0]. The centre's formula shows on every frame
    // demo-capture's test reads (tests/capture).
    const auto grey = build_with("void main(void) { gl_FragColor = vec4(0.5, 0.5, 0.5, 1.0); }\n");
    scene_pass(SceneProgramTable[0]);
    const double g = 128.0 / 255, corner = window().at(0, 0, 0); // 8 bits offscreen
    EXPECT_GE(corner, 0.12 * (0.99 * g - 0.03) - 2.0 / 255);
    EXPECT_LE(corner, 0.12 * 0.99 * g + 2.0 / 255);
}

} // namespace
