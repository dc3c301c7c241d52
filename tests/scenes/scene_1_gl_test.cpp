// Scene 1's frame with its credits cards on a real (headless Mesa) context: where the cards land,
// what they show, when they leave the picture alone, and the state the overlay leaves behind.
#include "gfx/resources.h"
#include "gfx/textures.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int Width = 200, Height = 160;
// A small credits image whose every texel names itself: red 5 i, green 5 j, blue 200.
constexpr int ImageSize = 50;
constexpr double CardWidth = 2.0, CardHeight = 0.15, StripHeight = 0.1;

// The demo's resources from data/, then the image above in place of the credits.
bool load_resources_and_image() {
    static std::string box;
    MessageBoxHook = [](void *, const char *text, const char *, int) { box = text; };
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(DEMO_SOURCE_DIR);
    const bool loaded = load_resources();
    std::filesystem::current_path(previous);
    EXPECT_EQ(box, "");
    if (!loaded) return false;

    std::vector<unsigned char> texels;
    for (int j = 0; j < ImageSize; ++j)
        for (int i = 0; i < ImageSize; ++i)
            texels.insert(texels.end(), {static_cast<unsigned char>(5 * i),
                                         static_cast<unsigned char>(5 * j), 200, 255});
    glBindTexture(GL_TEXTURE_2D, CreditsTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, ImageSize, ImageSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return true;
}

using Pixels = std::vector<unsigned char>; // RGBA rows from the bottom

Pixels read_window() {
    Pixels pixels(Width * Height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// One frame of scene 1 as render_frame starts it (culling on, a zeroed block).
void draw_frame(float a) {
    glEnable(GL_CULL_FACE);
    for (float &slot : ParameterBlock) slot = 0.0f;
    scene_1(a);
}

// The cards as the text places them: card A's lower-left corner at (-1.3 - g, 0.45), card B's
// at (g - 1.3, 0.3), showing strips of the image from v and v - 0.11 up.
struct Overlay {
    float a;
    double g, v, alpha;
};

// The frame with the cards blended over it: the texel under each pixel, tinted from pale cyan to
// white by the opacity, which the colour buffer clamps to 0..1.
Pixels expected_picture(const Overlay &o, Pixels picture) {
    const double opacity = std::fmin(std::fmax(o.alpha, 0.0), 1.0);
    const double tint[3] = {o.alpha * 0.25 + 0.75, 1.0, 1.0};
    const double cards[2][3] = {{-1.3 - o.g, 0.45, o.v}, {o.g - 1.3, 0.3, o.v - 0.11}};
    for (int row = 0; row < Height; ++row)
        for (int column = 0; column < Width; ++column)
            for (const auto &[x, y, v] : cards) {
                const double s = ((column + 0.5) / Width * 2.0 - 1.0 - x) / CardWidth;
                const double t = ((row + 0.5) / Height * 2.0 - 1.0 - y) / CardHeight;
                if (s < 0 || s >= 1 || t < 0 || t >= 1) continue;
                const double texel[3] = {5.0 * std::floor(s * ImageSize),
                                         5.0 * std::floor((v + t * StripHeight) * ImageSize), 200};
                unsigned char *pixel = &picture[(row * Width + column) * 4];
                for (int c = 0; c < 3; ++c)
                    pixel[c] = static_cast<unsigned char>(
                        std::lround(texel[c] * tint[c] * opacity + pixel[c] * (1.0 - opacity)));
                break;
            }
    return picture;
}

// Worked out from the card windows: u = a - c, g = 0.003 u^3, alpha = 1 - u^2 / 8.
const Overlay Cases[] = {
    {6.5f, 0.0, 0.9, 1.0},    // row 1's centre: both cards at -1.3, white, opaque
    {4.5f, -0.024, 0.9, 0.5}, // half opacity, red 0.875, the cards drifting apart
    {14.0f, 0.0, 0.68, 1.0},  // rows 2 to 4 at and near their centres
    {20.0f, -0.010125, 0.46, 0.71875},
    {29.0f, 0.0, 0.24, 1.0},
    {9.2f, 0.059049, 0.9, 0.08875},    // row 1's faint tail, past 9.0 s
    {9.5f, -0.273375, 0.68, -1.53125}, // in view but with alpha below 0: nothing changes
    {32.0f, 0.0, 0.0, 0.0},            // from 32 on there are no cards
};

// The frame once with the overlay swapped for nothing, then through the real seam: the change in
// the picture is what the cards show.
TEST(Scene1Credits, CardsGoOverTheFinishedFrame) {
    ASSERT_TRUE(headless_context_init(Width, Height)) << "no headless GL context";
    ASSERT_TRUE(load_resources_and_image());
    for (const Overlay &overlay : Cases) {
        SCOPED_TRACE("a = " + std::to_string(overlay.a));
        {
            const SceneDrawScope no_overlay({SceneDrawGl.draw_pass, [](void *, float) {}, nullptr});
            draw_frame(overlay.a);
        }
        const Pixels expected = expected_picture(overlay, read_window());
        draw_frame(overlay.a);

        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "culling stays off until the next frame";
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        // Opaque cards show their texels exactly.
        const int tolerance = overlay.alpha == 1.0 ? 0 : 1;
        const Pixels actual = read_window();
        int wrong = 0;
        for (size_t k = 0; k < actual.size(); ++k)
            wrong += k % 4 != 3 && std::abs(actual[k] - expected[k]) > tolerance;
        EXPECT_EQ(wrong, 0) << "channels off by more than " << tolerance;
    }
    // Row 4 ends before 32 s, where its cards are faint enough to leave the picture alone: the
    // colour current after the frame tells whether a card was drawn.
    for (const float a : {std::nextafter(32.0f, 0.0f), 32.0f}) {
        glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
        draw_frame(a);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0] == 0.1f, a == 32.0f) << "a = " << a << ", red " << colour[0];
    }
    headless_context_end();
}

} // namespace
