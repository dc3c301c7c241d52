#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "platform/window.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Builds the programs with one scene shader of the test's own in slot 0.
class RenderPass : public ::testing::Test {
  protected:
    void build_with(const std::string &scene) {
        folder_.reset(); // back to the start folder first, then into the new one
        folder_ = std::make_unique<ShaderFolder>(
            ShaderFiles{{"verystart.shader", "#version 120\nvarying vec3 objectPosition;\n"
                                             "varying mat4 parameters;\n" +
                                                 scene}});
        Boxes.clear();
        build_programs();
        ASSERT_TRUE(Boxes.empty()) << Boxes[0].text;
        for (float &slot : ParameterBlock) slot = 0.0f;
        glEnable(GL_CULL_FACE);
    }
    // The scene draw as the offscreen texture holds it, RGBA bytes, rows from the bottom.
    static std::vector<unsigned char> offscreen() {
        std::vector<unsigned char> pixels(OffscreenWidth * OffscreenHeight * 4);
        glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    static std::vector<unsigned char> window() {
        std::vector<unsigned char> pixels(WindowWidth * WindowHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    static float at(const std::vector<unsigned char> &pixels, int width, int x, int y, int c) {
        return pixels[(y * width + x) * 4 + c] / 255.0f;
    }
    std::unique_ptr<ShaderFolder> folder_;
};

TEST_F(RenderPass, EverySlotOfTheBlockReachesParametersColumnMajor) {
    // Column k of the picture shows slot k, read as parameters[k / 4][k % 4].
    build_with("void main(void) {\n"
               "  int k = int(floor((objectPosition.x * 0.5 + 0.5) * 16.0));\n"
               "  float v = 0.0;\n"
               "  for (int i = 0; i < 4; ++i) for (int j = 0; j < 4; ++j)\n"
               "    if (i * 4 + j == k) v = parameters[i][j];\n"
               "  gl_FragColor = vec4(v, 0.0, 0.0, 1.0);\n}\n");
    for (int k = 0; k < 16; ++k) ParameterBlock[k] = (k + 0.5f) / 16.0f;
    scene_pass(SceneProgramTable[0]);
    std::vector<unsigned char> pixels = offscreen();
    for (int k = 0; k < 16; ++k) {
        int x = k * 64 + 32;
        EXPECT_NEAR(at(pixels, OffscreenWidth, x, 256, 0), (k + 0.5f) / 16.0f, 1.0 / 255) << k;
    }
}

TEST_F(RenderPass, ObjectPositionSpansTheRegionAndEveryPixelIsShadedOnce) {
    build_with(
        "void main(void) { gl_FragColor = vec4(objectPosition.xy * 0.5 + 0.5, 0.0, 1.0); }\n");
    scene_pass(SceneProgramTable[0]);
    std::vector<unsigned char> pixels = offscreen();
    EXPECT_NEAR(at(pixels, OffscreenWidth, 0, 0, 0), 0.0, 2.0 / 255);
    EXPECT_NEAR(at(pixels, OffscreenWidth, 0, 0, 1), 0.0, 2.0 / 255);
    EXPECT_NEAR(at(pixels, OffscreenWidth, 1023, 511, 0), 1.0, 2.0 / 255);
    EXPECT_NEAR(at(pixels, OffscreenWidth, 1023, 511, 1), 1.0, 2.0 / 255);
    EXPECT_NEAR(at(pixels, OffscreenWidth, 512, 256, 0), 0.5, 2.0 / 255);

    // With additive blending, a pixel shaded twice would show 0.5 instead of 0.25.
    build_with("void main(void) { gl_FragColor = vec4(0.25); }\n");
    glViewport(0, 0, OffscreenWidth, OffscreenHeight);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    gl2::UseProgram(SceneProgramTable[0]);
    gluSphere(SceneQuadric, 2.0, 16, 16);
    glDisable(GL_BLEND);
    std::vector<unsigned char> once(OffscreenWidth * OffscreenHeight * 4);
    glReadPixels(0, 0, OffscreenWidth, OffscreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, once.data());
    int wrong = 0;
    for (size_t i = 0; i < once.size(); i += 4) wrong += std::abs(once[i] - 64) > 1;
    EXPECT_EQ(wrong, 0) << "pixels not shaded exactly once; first pixel " << int(once[0]);
}

TEST_F(RenderPass, ThePostPassShowsThePictureOnceOverTheWholeWindow) {
    // Left half red, right half green, upper half blue: position and orientation survive.
    build_with("void main(void) {\n"
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
    std::vector<unsigned char> pixels = window();
    int w = WindowWidth, h = WindowHeight;
    auto expect_colour = [&](int x, int y, bool red, bool green, bool blue) {
        EXPECT_EQ(at(pixels, w, x, y, 0) > 0.3f, red) << x << "," << y;
        EXPECT_EQ(at(pixels, w, x, y, 1) > 0.3f, green) << x << "," << y;
        EXPECT_EQ(at(pixels, w, x, y, 2) > 0.3f, blue) << x << "," << y;
    };
    expect_colour(w / 4, h / 4, true, false, false);
    expect_colour(3 * w / 4, h / 4, false, true, false);
    expect_colour(w / 4, 3 * h / 4, true, false, true);
    expect_colour(3 * w / 4, 3 * h / 4, false, true, true);
}

// The vignette's corner on grey; the centre's formula is checked on every frame demo-capture's
// test reads (tests/capture).
TEST_F(RenderPass, PostVignetteOnGrey) {
    build_with("void main(void) { gl_FragColor = vec4(0.5, 0.5, 0.5, 1.0); }\n");
    ParameterBlock[0] = 3.7f;
    scene_pass(SceneProgramTable[0]);
    std::vector<unsigned char> grey = window();
    const double g = 128.0 / 255; // what the 8-bit offscreen copy holds
    const double slack = 2.0 / 255;
    double corner = at(grey, WindowWidth, 0, 0, 0);
    EXPECT_GE(corner, 0.12 * (0.99 * g - 0.03) - slack);
    EXPECT_LE(corner, 0.12 * 0.99 * g + slack);
}

} // namespace
