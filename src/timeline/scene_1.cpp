// The opening scene and the credits cards laid over its finished frames.
#include "gfx/credits_strips.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "timeline/numbers.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"

void scene_1(float a) {
    ParameterBlock[0] = a;
    // Large at the start, 0 from 12 s to 33 s, growing again towards the end.
    double b = 0.0_f;
    if (a > 33.0_f) b = (a - 33.0_f) * (a - 33.0_f) * 0.4_f + b;
    if (a < 12.0_f) b = (12.0_f - a) * (12.0_f - a) * 0.05_f + b;
    ParameterBlock[1] = f32(b);

    SceneDraw.pass(SceneProgramTable[0]);
    SceneDraw.credits_overlay(a);
}

namespace {

struct CardWindow {
    double centre;
    float strip_a; // t of the upper card's lower edge
    float strip_b;
};

// The first row whose test holds wins; row 1 alone has a lower bound, so every a up to 3.5 takes
// row 2, far enough from its centre that nothing shows.
const CardWindow *card_window(float a) {
    static const CardWindow rows[4] = {
        {6.5_f, f32(CreditsStripStart[0]), f32(CreditsStripStart[1])},
        {14.0_f, f32(CreditsStripStart[2]), f32(CreditsStripStart[3])},
        {21.5_f, f32(CreditsStripStart[4]), f32(CreditsStripStart[5])},
        {29.0_f, f32(CreditsStripStart[6]), f32(CreditsStripStart[7])},
    };
    if (3.5_f < a && a < 9.5_f) return &rows[0];
    if (a < 17.0_f) return &rows[1];
    if (a < 24.5_f) return &rows[2];
    if (a < 32.0_f) return &rows[3];
    return nullptr;
}

} // namespace

void draw_credits_overlay(float a) {
    // The cards are wound clockwise: they are back faces.
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, CreditsTexture);
    gl2::UseProgram(SceneProgramTable[8]);

    if (const CardWindow *row = card_window(a)) {
        const float u = f32(a - row->centre);
        // Odd in u: the two cards slide apart in opposite directions, slowly near the centre.
        const double g = ((u * 0.003_f) * u) * u;
        // Negative away from the centre; the fixed-point colour buffer clamps it to 0 there.
        const float alpha = f32(1.0_f - (u * static_cast<double>(u)) / 8.0_f);
        draw_credit_card(f32(-1.3_f - g), f32(0.45_f), row->strip_a, alpha);
        draw_credit_card(f32(g - 1.3_f), f32(0.3_f), row->strip_b, alpha);
    }

    glDisable(GL_BLEND);
}

void draw_credit_card(float x, float y, float v, float alpha) {
    // Pale cyan while faint, white at full opacity; alpha goes on unclamped.
    glColor4f(f32(alpha * 0.25_f + 0.75_f), 1.0f, 1.0f, alpha);
    const float top = f32(y + 0.15_f);
    const float right = f32(x + 2.0_f);
    const float strip_top = f32(v + float_constant(CreditsStripHeight));
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, strip_top);
    glVertex3f(x, top, 0.5f);
    glTexCoord2f(1.0f, strip_top);
    glVertex3f(right, top, 0.5f);
    glTexCoord2f(1.0f, v);
    glVertex3f(right, y, 0.5f);
    glTexCoord2f(0.0f, v);
    glVertex3f(x, y, 0.5f);
    glEnd();
}
