// The studio's preview scale: at 1/2 and 1/4 the scene's picture fills the whole region at lower
// detail, at 1 it is the plain pass bit for bit, and what the plain demo and the capture tool draw
// never scales, whatever the studio has switched in.
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "studio/preview_scale.h"
#include "timeline/demo_clock.h"
#include "timeline_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

// Red and green: a coarse gradient across the region; blue: stripes one pixel wide at full size.
const char *const Striped = "varying vec3 objectPosition;\n"
                            "void main(void) {\n"
                            "    vec2 at = 0.5 * objectPosition.xy + 0.5;\n"
                            "    gl_FragColor = vec4(at, step(0.5, fract(at.x * 512.0)), 1.0);\n"
                            "}\n";

// Pixels whose blue differs from their left neighbour's.
int stripes(const Pixels &rgba) {
    int count = 0;
    for (std::size_t at = 6; at < rgba.size(); at += 4) count += rgba[at] != rgba[at - 4];
    return count;
}
Pixels pass_through(const SceneDrawSeam &seam) {
    const SceneDrawScope drawn(seam);
    SceneDraw.pass(SceneProgramTable[0]);
    return offscreen_pixels();
}

TEST(PreviewScale, SmallerPassesFillTheRegionAndOnlyTheStudiosSeamScales) {
    ShaderFolder folder(ShaderFiles{{SceneShaderFiles[0], Striped}});
    build_programs();
    render_frame(0); // the plain demo's frame, through the seam the process starts with
    const Pixels full = offscreen_pixels();
    ASSERT_GT(stripes(full), OffscreenWidth * OffscreenHeight / 2);
    PreviewScale preview;
    preview_start(preview);
    ASSERT_NE(preview.stretch, 0u);
    const SceneDrawSeam studio = preview_seam(preview);
    EXPECT_TRUE(pass_through(studio) == full) << "scale 1";
    for (int divisor : {2, 4}) {
        preview_next(preview);
        ASSERT_EQ(preview.divisor, divisor);
        const Pixels scaled = pass_through(studio);
        int gradient_off = 0;
        for (std::size_t at = 0; at < full.size(); at += 4)
            gradient_off +=
                std::abs(scaled[at] - full[at]) > 2 || std::abs(scaled[at + 1] - full[at + 1]) > 2;
        EXPECT_EQ(gradient_off, 0) << "1/" << divisor << ": the gradient over the whole region";
        EXPECT_LT(stripes(scaled), stripes(full) / 10) << "1/" << divisor << ": no fine stripes";
    }
    // The capture tool draws through the plain seam, whatever the studio left switched in.
    const SceneDrawScope left_in(studio);
    run_selected({0}, {true}, true, [](std::size_t, int32_t) { return true; });
    EXPECT_TRUE(offscreen_pixels() == full) << "the capture tool's frame";
    preview_next(preview);
    EXPECT_EQ(preview.divisor, 1);
    preview_end(preview);
}

} // namespace
