// The credits cards on a real (headless Mesa) context: where they land, what they show, when they
// leave the picture alone, and the state the overlay leaves behind.
#include "gfx/gl_entry_points.h"
#include "gfx/noise.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "platform/gl_proc.h"
#include "platform/headless_context.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int Width = 200;
constexpr int Height = 160;
// A small credits image whose every texel names itself: red 5 i, green 5 j for texel (i, j).
constexpr int ImageSize = 50;
constexpr int ImageBlue = 200;

std::vector<std::string> Boxes;
PFNGLGENQUERIESPROC glGenQueries_;
PFNGLBEGINQUERYPROC glBeginQuery_;
PFNGLENDQUERYPROC glEndQuery_;
PFNGLGETQUERYOBJECTUIVPROC glGetQueryObjectuiv_;
GLuint SampleQuery;

const char *const SceneShader =
    "#version 120\n"
    "varying mat4 parameters;\n"
    "void main(void) {\n"
    "    gl_FragColor = vec4(0.3, 0.5, 0.7, 1.0) + 0.0 * parameters[0];\n"
    "}\n";
// Texture times colour, with the texture's alpha times the colour's as the opacity.
const char *const SimpleTexShader = "#version 120\n"
                                    "uniform sampler2D Texture0;\n"
                                    "varying vec4 color;\n"
                                    "void main(void) {\n"
                                    "    vec4 texel = texture2D(Texture0, gl_TexCoord[0].xy);\n"
                                    "    gl_FragColor = texel * color;\n"
                                    "}\n";

// Builds the programs from test shaders in a scratch working directory, as the demo reads them.
void build_test_programs() {
    namespace fs = std::filesystem;
    const fs::path previous = fs::current_path();
    char pattern[] = "/tmp/scene-1-gl-test-XXXXXX";
    const fs::path folder = mkdtemp(pattern);
    fs::create_directory(folder / "data");
    for (const char *file : SceneShaderFiles) {
        const bool overlay = std::string(file) == "data/simpleTex.shader";
        std::ofstream(folder / file, std::ios::binary) << (overlay ? SimpleTexShader : SceneShader);
    }
    fs::current_path(folder);
    make_noise();
    build_programs();
    create_textures(); // no credits image here: the test uploads its own below
    fs::current_path(previous);
    fs::remove_all(folder);
}

void upload_credits_image() {
    std::vector<unsigned char> texels(ImageSize * ImageSize * 4);
    for (int j = 0; j < ImageSize; ++j)
        for (int i = 0; i < ImageSize; ++i) {
            unsigned char *texel = &texels[(j * ImageSize + i) * 4];
            texel[0] = static_cast<unsigned char>(5 * i);
            texel[1] = static_cast<unsigned char>(5 * j);
            texel[2] = ImageBlue;
            texel[3] = 255;
        }
    glBindTexture(GL_TEXTURE_2D, CreditsTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, ImageSize, ImageSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
}

class GlEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(headless_context_init(Width, Height)) << "no headless GL context";
        ASSERT_EQ(WindowWidth, Width);
        ASSERT_EQ(WindowHeight, Height);
        char missing[256];
        ASSERT_EQ(fetch_gl_entry_points(missing, sizeof missing), 0) << missing;
        glGenQueries_ = reinterpret_cast<PFNGLGENQUERIESPROC>(gl_proc_address("glGenQueries"));
        glBeginQuery_ = reinterpret_cast<PFNGLBEGINQUERYPROC>(gl_proc_address("glBeginQuery"));
        glEndQuery_ = reinterpret_cast<PFNGLENDQUERYPROC>(gl_proc_address("glEndQuery"));
        glGetQueryObjectuiv_ =
            reinterpret_cast<PFNGLGETQUERYOBJECTUIVPROC>(gl_proc_address("glGetQueryObjectuiv"));
        ASSERT_TRUE(glGenQueries_ && glBeginQuery_ && glEndQuery_ && glGetQueryObjectuiv_);
        glGenQueries_(1, &SampleQuery);
        MessageBoxHook = [](void *, const char *text, const char *, int) { Boxes.push_back(text); };
        build_test_programs();
        ASSERT_TRUE(Boxes.empty()) << Boxes.front();
        ASSERT_NE(SceneProgramTable[8], 0u);
        SceneQuadric = gluNewQuadric();
        upload_credits_image();
    }
    void TearDown() override { headless_context_end(); }
};

using Pixels = std::vector<unsigned char>; // RGBA rows from the bottom

Pixels read_window() {
    Pixels pixels(Width * Height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// One card as the text places it: lower-left corner, the strip's lower edge, the opacity.
struct Card {
    double x, y, v;
};

struct Overlay {
    float a;
    Card cards[2]; // card A (upper), card B (lower)
    double alpha;
    bool drawn;
};

constexpr double CardWidth = 2.0, CardHeight = 0.15, StripHeight = 0.1;

double clip_x(int column) {
    return (column + 0.5) / Width * 2.0 - 1.0;
}
double clip_y(int row) {
    return (row + 0.5) / Height * 2.0 - 1.0;
}

const Card *card_at(const Overlay &overlay, int column, int row) {
    if (!overlay.drawn) return nullptr;
    for (const Card &card : overlay.cards) {
        double x = clip_x(column), y = clip_y(row);
        if (x >= card.x && x < card.x + CardWidth && y >= card.y && y < card.y + CardHeight)
            return &card;
    }
    return nullptr;
}

int covered_pixels(const Overlay &overlay) {
    int count = 0;
    for (int row = 0; row < Height; ++row)
        for (int column = 0; column < Width; ++column)
            if (card_at(overlay, column, row)) ++count;
    return count;
}

// The background with the cards blended over it: the texel under each pixel, tinted from pale
// cyan to white by the opacity, which the colour buffer clamps to 0..1.
Pixels expected_picture(const Overlay &overlay, const Pixels &background) {
    Pixels picture = background;
    const double opacity = std::fmin(std::fmax(overlay.alpha, 0.0), 1.0);
    const double tint[3] = {overlay.alpha * 0.25 + 0.75, 1.0, 1.0};
    for (int row = 0; row < Height; ++row)
        for (int column = 0; column < Width; ++column) {
            const Card *card = card_at(overlay, column, row);
            if (!card) continue;
            const double s = (clip_x(column) - card->x) / CardWidth;
            const double t = card->v + (clip_y(row) - card->y) / CardHeight * StripHeight;
            const int i = static_cast<int>(std::floor(s * ImageSize));
            const int j = static_cast<int>(std::floor(t * ImageSize));
            const double texel[3] = {5.0 * i, 5.0 * j, ImageBlue};
            unsigned char *pixel = &picture[(row * Width + column) * 4];
            for (int c = 0; c < 3; ++c)
                pixel[c] = static_cast<unsigned char>(
                    std::lround(texel[c] * tint[c] * opacity + pixel[c] * (1.0 - opacity)));
        }
    return picture;
}

void expect_picture(const Pixels &actual, const Pixels &expected, int tolerance) {
    int wrong = 0;
    for (int row = 0; row < Height; ++row)
        for (int column = 0; column < Width; ++column)
            for (int c = 0; c < 3; ++c) {
                const int got = actual[(row * Width + column) * 4 + c];
                const int want = expected[(row * Width + column) * 4 + c];
                if (std::abs(got - want) <= tolerance) continue;
                if (++wrong <= 5)
                    ADD_FAILURE() << "pixel (" << column << ", " << row << ") channel " << c
                                  << ": got " << got << ", want " << want;
            }
    EXPECT_EQ(wrong, 0) << "channels off by more than " << tolerance;
}

// Culling on, as render_frame leaves it for the scene pass.
void begin_frame(float a) {
    glEnable(GL_CULL_FACE);
    for (float &slot : ParameterBlock) slot = 0.0f;
    ParameterBlock[0] = a;
}

GLuint samples_of(void (*draw)(float), float a) {
    glBeginQuery_(GL_SAMPLES_PASSED, SampleQuery);
    draw(a);
    glEndQuery_(GL_SAMPLES_PASSED);
    GLuint samples = 0;
    glGetQueryObjectuiv_(SampleQuery, GL_QUERY_RESULT, &samples);
    return samples;
}

void expect_state_after_overlay() {
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)) << "culling stays off until the next frame";
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint program = 0, texture = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(static_cast<GLuint>(program), SceneProgramTable[8]);
    EXPECT_EQ(static_cast<GLuint>(texture), CreditsTexture);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Card positions worked out from the card windows: u = a - c, g = 0.003 u^3, alpha = 1 - u^2 / 8,
// card A at x = -1.3 - g and y = 0.45, card B at x = g - 1.3 and y = 0.3.
const Overlay Cases[] = {
    // Row 1's centre: both cards at -1.3, white, opaque.
    {6.5f, {{-1.3, 0.45, 0.9}, {-1.3, 0.3, 0.79}}, 1.0, true},
    // Half opacity, red 0.875; the cards have drifted 0.024 apart in opposite directions.
    {4.5f, {{-1.276, 0.45, 0.9}, {-1.324, 0.3, 0.79}}, 0.5, true},
    // Rows 2 to 4 at and near their centres.
    {14.0f, {{-1.3, 0.45, 0.68}, {-1.3, 0.3, 0.57}}, 1.0, true},
    {20.0f, {{-1.289875, 0.45, 0.46}, {-1.310125, 0.3, 0.35}}, 0.71875, true},
    {29.0f, {{-1.3, 0.45, 0.24}, {-1.3, 0.3, 0.13}}, 1.0, true},
    // In view but with alpha below 0: nothing changes.
    {9.5f, {{-1.026625, 0.45, 0.68}, {-1.573375, 0.3, 0.57}}, -1.53125, true},
    {3.6f, {{-1.2268333, 0.45, 0.9}, {-1.3731667, 0.3, 0.79}}, -0.05125, true},
    // Up to 3.5 row 2 holds, with both cards wholly outside the window.
    {-0.15f, {{7.2, 0.45, 0.68}, {-9.8, 0.3, 0.57}}, -24.0, true},
    {3.5f, {{2.172875, 0.45, 0.68}, {-4.772875, 0.3, 0.57}}, -12.78125, true},
    // From 32 on there are no cards.
    {32.0f, {}, 0.0, false},
    {37.6f, {}, 0.0, false},
};

TEST(CreditsOverlay, CardsLandWhereTheirWindowsPutThem) {
    for (const Overlay &overlay : Cases) {
        SCOPED_TRACE("a = " + std::to_string(overlay.a));
        glViewport(0, 0, Width, Height);
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        const Pixels background = read_window();
        begin_frame(overlay.a);

        const GLuint samples = samples_of(draw_credits_overlay, overlay.a);
        expect_state_after_overlay();
        // Every fragment is counted, seen or not: this is where the cards are, not what shows.
        EXPECT_EQ(samples, static_cast<GLuint>(covered_pixels(overlay)));
        // Opaque cards show their texels exactly.
        expect_picture(read_window(), expected_picture(overlay, background),
                       overlay.alpha == 1.0 ? 0 : 1);
    }
}

// The whole of scene 1: the pass and its post processing, then the cards over the finished frame.
TEST(Scene1Frame, CardsGoOverThePostProcessedFrame) {
    for (const Overlay &overlay : Cases) {
        SCOPED_TRACE("a = " + std::to_string(overlay.a));
        SceneDraw = SceneDrawSeam{scene_pass, [](float) {}};
        begin_frame(overlay.a);
        scene_1(overlay.a);
        const Pixels without_cards = read_window();

        SceneDraw = SceneDrawGl;
        begin_frame(overlay.a);
        scene_1(overlay.a);
        expect_state_after_overlay();
        expect_picture(read_window(), expected_picture(overlay, without_cards),
                       overlay.alpha == 1.0 ? 0 : 1);
    }
}

} // namespace

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}
