// The middle of the timeline: a drifting circle, three grass scenes and the flickering fade-out.
#include "gfx/programs.h"
#include "timeline/numbers.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

namespace {

float *const slot = ParameterBlock;

// Scenes 3 to 5: a rise over the first second, then 1, then a flicker whose depth grows from
// `flicker_from` on.
void rise_and_flicker(float a, double flicker_from) {
    if (a < 1.0_f) {
        slot[1] = sqrt_f(a);
    } else if (a > flicker_from) {
        slot[1] = f32(1.0_f - fabs_f(sin_f(14.0_f * a)) * ((a - flicker_from) * 0.25_f));
    }
}

} // namespace

void scene_2(float a) {
    // Slot 0 is not the local time here: the post shader runs on 3 sqrt(a).
    slot[0] = f32(3.0_f * sqrt_f(a));
    slot[3] = sqrt_f(0.1_f * a);
    if (slot[3] > 1.0_f) slot[3] = 1.0f;
    slot[1] = 0.0f;
    slot[6] = 0.0f;

    // A point on a circle of radius r turning at k rad/s while the circle drifts by -s per second.
    const double k = 0.3_f, r = 1.6_f, s = 0.25_f;
    slot[8] = f32(r * sin_f(k * a));
    slot[9] = f32(r * cos_f(k * a) - s * a);

    // Its unit heading; r * k stays a double product, not the float nearest 0.48.
    const float dx = f32(cos_f(k * a) * (r * k));
    const float dy = f32(-s - sin_f(k * a) * (r * k));
    const float n = sqrt_f(dx * static_cast<double>(dx) + dy * static_cast<double>(dy));
    if (n > 0.0001_f) {
        slot[12] = f32(dx / static_cast<double>(n));
        slot[13] = f32(dy / static_cast<double>(n));
    } else {
        slot[12] = 1.0f;
        slot[13] = 0.0f;
    }

    SceneDraw.pass(SceneProgramTable[7]);
}

void scene_3(float a) {
    slot[0] = a;
    slot[1] = 1.0f;
    slot[15] = 0.5f;
    rise_and_flicker(a, 6.3_f);
    // Controllers in ascending order, after the time-dependent slots.
    slot[4] = value_or_default(2, 0.2f);
    slot[5] = value_or_default(3, 0.43f);
    slot[6] = value_or_default(4, 0.24f);
    slot[7] = value_or_default(5, 0.4f);
    slot[8] = value_or_default(6, 0.37f);
    SceneDraw.pass(SceneProgramTable[5]);
}

void scene_4(float a) {
    slot[0] = a;
    slot[1] = 1.0f;
    rise_and_flicker(a, 6.5_f);
    slot[4] = value_or_default(2, 0.36f);
    slot[5] = value_or_default(3, 0.39f);
    slot[6] = value_or_default(4, 0.43f);
    slot[7] = value_or_default(5, 0.01f);
    SceneDraw.pass(SceneProgramTable[4]);
}

void scene_5(float a) {
    slot[0] = a;
    slot[1] = 1.0f;
    const float s = sin_f(a);
    slot[15] = f32(0.35_f - s * static_cast<double>(s) * 0.4_f);
    if (slot[15] < 0.0_f) slot[15] = 0.0f;
    rise_and_flicker(a, 6.3_f);
    slot[4] = value_or_default(2, 0.36f);
    slot[5] = value_or_default(3, 0.39f);
    slot[6] = value_or_default(4, 0.43f);
    slot[7] = value_or_default(5, 0.01f);
    SceneDraw.pass(SceneProgramTable[5]);
}

void scene_6(float a) {
    slot[0] = a;
    slot[1] = 1.0f;
    slot[4] = 1.0f;
    // A sawtooth; the first frames (a from -0.4) start it below zero, which the loop leaves alone.
    slot[15] = f32((a * 0.695_f) * 1.05_f);
    while (slot[15] > 2.625_f) slot[15] = f32(slot[15] - 2.625_f);
    // Unlike scenes 3 to 5 there is no rise, and the flicker swings both ways (no fabs).
    if (a < 1.0_f) {
        slot[1] = 1.0f;
    } else if (a > 12.3_f) {
        slot[1] = f32(1.0_f - sin_f(14.0_f * a) * ((a - 12.3_f) * 0.2_f));
        slot[4] = f32(1.0_f - (a - 12.3_f) * (a - 12.3_f) * 0.1_f);
    }
    slot[2] = f32(4.0_f / (a + 10.0_f));
    slot[3] = f32(1.3_f - 0.15_f * a);
    slot[5] = value_or_default(2, 0.31f);
    slot[6] = value_or_default(3, 0.28f);
    slot[7] = value_or_default(4, 0.28f);
    slot[8] = value_or_default(5, 0.0f);
    slot[9] = value_or_default(6, 0.0f);
    SceneDraw.pass(SceneProgramTable[3]);
}
