// The end of the timeline: two stretches of the ball shader, then the closing picture.
#include "gfx/programs.h"
#include "timeline/numbers.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

namespace {

float *const slot = ParameterBlock;

float at_most(float value, double limit) {
    return value > limit ? static_cast<float>(limit) : value;
}
float at_least(float value, double limit) {
    return value < limit ? static_cast<float>(limit) : value;
}

// Scene 8 is cut into 3.75 s segments 1 to 10; segment 11 runs from 37.5 s to the end.
int scene_8_segment(float a) {
    int segment = 1;
    while (segment < 11 && !(a < 3.75_f * segment)) ++segment;
    return segment;
}

// Defaults of controllers 8, 9, 12 and 13 (slots 8 to 11) per segment; segment 8 reads none.
constexpr float MixDefaults[11][4] = {
    {0.36f, 0.47f, 0.43f, 0.01f}, {0.19f, 0.55f, 0.41f, 0.76f}, {0.11f, 0.18f, 0.2f, 0.39f},
    {0.78f, 0.56f, 0.8f, 0.69f},  {0.0f, 0.0f, 0.0f, 0.0f},     {0.09f, 0.0f, 0.34f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f},     {0.0f, 0.0f, 0.0f, 0.0f},     {0.17f, 0.61f, 0.63f, 0.02f},
    {0.55f, 0.44f, 0.28f, 0.0f},  {0.0f, 0.0f, 0.0f, 0.0f},
};

} // namespace

void scene_7(float a) {
    slot[0] = a;
    slot[1] = a > 6.5_f ? at_most(f32((a - 6.5_f) * 0.25_f), 1.1_f) : 0.0f;
    slot[2] = a < 8.0_f ? -1.0f : f32(sqrt_f((a - 8.0_f) * 4.0_f) - 1.0_f);
    slot[3] = a < 8.0_f ? at_most(f32(a * static_cast<double>(a) * 0.1_f), 2.5_f)
                        : at_least(f32(2.5_f - (a - 8.0_f) * 2.0_f), 0.0_f);
    slot[4] = at_most(sqrt_f(a), 2.0_f);
    slot[14] = -2.7f;
    slot[15] = f32(a * 0.2_f);
    SceneDraw.pass(SceneProgramTable[6]);
}

void scene_8(float a) {
    slot[0] = a;
    slot[1] = 1.2f;
    slot[3] = 0.0f;
    slot[4] = at_least(f32(2.0_f - a * 0.075_f), 0.0_f);
    slot[2] = 1.5f;
    slot[5] = 0.0f;
    slot[14] = -2.7f;
    slot[15] = f32(a * 0.2_f);

    const int segment = scene_8_segment(a);
    // Controllers are read once each, in the order 8, 9, 12, 13, 2, 3, 4, 5: slots 10 and 11
    // take controllers 12 and 13.
    if (segment != 8) {
        const float *d = MixDefaults[segment - 1];
        slot[8] = value_or_default(8, d[0]);
        slot[9] = value_or_default(9, d[1]);
        slot[10] = value_or_default(12, d[2]);
        // Segment 6 ramps up to the controller's value, measured from the segment's end.
        slot[11] = segment == 6 ? f32(value_or_default(13, d[3]) + (a - 22.5_f) * 0.075_f)
                                : value_or_default(13, d[3]);
    }

    switch (segment) {
    case 1:
        slot[2] = f32(value_or_default(2, 0.46f) * 4.0_f);
        slot[5] = value_or_default(3, 0.32f);
        slot[14] = f32(value_or_default(4, 0.51f) * 6.24_f);
        slot[15] = f32(a * 0.2_f + value_or_default(5, 0.0f) * 6.24_f);
        break;
    case 2:
        slot[2] = f32(value_or_default(2, 0.34f) * 4.0_f);
        slot[5] = value_or_default(3, 0.0f);
        slot[14] = f32(value_or_default(4, 0.5f) * 6.24_f);
        slot[15] = f32(a * 0.2_f + value_or_default(5, 0.42f) * 6.24_f);
        break;
    case 3:
        slot[1] = 1.05f;
        slot[2] = sqrt_f(a - 7.5_f);
        slot[5] = value_or_default(3, 0.0f);
        slot[14] = f32(value_or_default(4, 0.57f) * 6.24_f);
        slot[15] = f32(a * 0.2_f + value_or_default(5, 0.45f) * 6.24_f);
        break;
    case 4:
        slot[1] = f32((a - 11.25_f) * 0.2_f + 0.5_f);
        slot[2] = f32(value_or_default(2, 0.25f) * 4.0_f);
        slot[5] = value_or_default(3, 0.0f);
        slot[14] = f32(value_or_default(4, 0.8f) * 6.24_f - (a - 11.25_f) * 0.2_f);
        slot[15] = f32(value_or_default(5, 0.23f) * 6.24_f);
        break;
    case 5:
        slot[2] = f32(3.0_f - (a - 15.0_f) * 1.2_f);
        slot[5] = value_or_default(3, 0.35f);
        slot[14] = f32(value_or_default(4, 0.65f) * 6.24_f);
        slot[15] = f32(value_or_default(5, 0.84f) * 6.24_f + sqrt_f(a - 15.0_f));
        break;
    case 6:
        slot[2] = 0.5f;
        slot[14] = f32(-2.4_f - (a - 18.75_f) * 0.1_f);
        slot[15] = f32((a - 18.75_f) * 0.2_f + 5.6_f);
        break;
    case 7:
        slot[1] = 1.22f;
        slot[2] = 1.2f;
        slot[13] = 1.0f;
        slot[14] = 1.5f;
        slot[15] = f32((a - 22.5_f) * 0.2_f + 2.6_f);
        break;
    case 8:
        slot[1] = 1.3f;
        slot[2] = f32(sqrt_f(a - 26.25_f) * 0.8_f);
        slot[5] = value_or_default(3, 0.2f);
        slot[14] = f32(value_or_default(4, 0.66f) * 6.24_f);
        slot[15] = f32(value_or_default(5, 0.8f) * 6.24_f + sqrt_f(a - 26.25_f));
        break;
    case 9:
        slot[2] = 2.0f;
        slot[14] = f32(value_or_default(4, 0.485f) * 6.24_f);
        slot[15] = f32((a - 30.0_f) * 0.2_f);
        break;
    case 10:
        slot[2] = 1.5f;
        slot[14] = -3.1f;
        slot[15] = 0.0f;
        break;
    default:
        slot[1] = f32(1.5_f - (a - 37.5_f) * 0.075_f);
        slot[2] = -1.0f;
        slot[14] = -3.0f;
        // 6.14 here, not the 6.24 of the earlier segments.
        slot[15] = f32(value_or_default(5, 0.0f) * 6.14_f);
        break;
    }

    SceneDraw.pass(SceneProgramTable[6]);
}

void scene_9(float t) {
    // The full clock, not t - 151.
    slot[0] = t;
    SceneDraw.pass(SceneProgramTable[1]);
}
