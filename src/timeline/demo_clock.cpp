#include "timeline/demo_clock.h"

#include "gfx/gl.h"
#include "timeline/numbers.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_cuts.h"
#include "timeline/scenes.h"

float DemoClock = -0.15f;
int32_t FrameHistory[5] = {};
float ParameterBlock[ParameterCount] = {};
void (*const SceneScripts[SceneCount])(float) = {scene_1, scene_2, scene_3, scene_4, scene_5,
                                                 scene_6, scene_7, scene_8, scene_9};

void demo_clock_reset() {
    DemoClock = -0.15f;
    for (int32_t &stamp : FrameHistory) stamp = 0;
}

DemoClockState demo_clock_save() {
    DemoClockState state = {DemoClock, {}};
    for (int i = 0; i < 5; ++i) state.history[i] = FrameHistory[i];
    return state;
}

void demo_clock_restore(const DemoClockState &state) {
    DemoClock = state.clock;
    for (int i = 0; i < 5; ++i) FrameHistory[i] = state.history[i];
}

int scene_for_clock(float t, float *local_time) {
    const double c = t;
    int scene = 1; // the first whose successor has not started; NaN falls through to scene 9
    while (scene < SceneCount && !(c < float_constant(SceneCuts[scene].start))) ++scene;
    *local_time = f32(c - float_constant(SceneCuts[scene - 1].origin));
    return scene;
}

void demo_clock_advance(int32_t now) {
    // The clock advances by the mean duration of the last five frames, so a stall is caught up
    // over five frames instead of jumping the picture.
    DemoClock = f32(static_cast<double>(now - FrameHistory[0]) * 0.001_f / 5.0 + DemoClock);
    for (int i = 0; i < 4; ++i) FrameHistory[i] = FrameHistory[i + 1];
    FrameHistory[4] = now;
}

void render_frame(int32_t now) {
    demo_clock_advance(now);
    glEnable(GL_CULL_FACE); // the credits overlay leaves it off
    for (float &slot : ParameterBlock) slot = 0.0f;

    float local_time;
    int scene = scene_for_clock(DemoClock, &local_time);
    SceneScripts[scene - 1](local_time);
}
