#include "studio/scene_reads.h"

#include "gfx/programs.h"
#include "timeline/demo_clock.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"

#include <cstring>

namespace {

// What the overridden reads answer during the quiet runs of one scan, and what they saw.
struct QuietRun {
    TuningBank *bank;
    SceneReads *record; // reads are looked up here when set
    bool adding;        // and new ones added: the first run's alone, so a probe adds none
    int moved;          // this controller answers `moved_value`; -1 for none
    float moved_value;
    GLuint program;
};

ControllerRead *find(SceneReads &reads, int controller) {
    for (int i = 0; i < reads.count; ++i)
        if (reads.reads[i].controller == controller) return &reads.reads[i];
    return nullptr;
}

float answer(void *context, int controller, float fallback) {
    QuietRun &run = *static_cast<QuietRun *>(context);
    if (controller == run.moved) return run.moved_value;
    if (run.record) {
        if (ControllerRead *known = find(*run.record, controller)) return known->value;
        const float value = run.bank->peek_or_default(controller, fallback);
        if (run.adding && run.record->count < MaxSceneReads)
            run.record->reads[run.record->count++] = {controller, fallback, value,
                                                      run.bank->is_touched(controller), 0u};
        return value;
    }
    return run.bank->peek_or_default(controller, fallback);
}

void record_pass(void *context, GLuint program) {
    static_cast<QuietRun *>(context)->program = program;
}
void no_overlay(void *, float) {}

// The script of `scene` from zeroed slots, as render_frame runs it, with nothing drawn.
void run_quietly(int scene, float local_time, float slots[ParameterCount]) {
    for (float &slot : ParameterBlock) slot = 0.0f;
    SceneScripts[scene - 1](local_time);
    std::memcpy(slots, ParameterBlock, sizeof ParameterBlock);
}

// Swaps the seams in for the quiet runs of `run` and restores everything on the way out.
class QuietScope {
  public:
    explicit QuietScope(QuietRun &run)
        : seam_({record_pass, no_overlay, &run}), override_(TuningReadOverride) {
        std::memcpy(slots_, ParameterBlock, sizeof slots_);
        TuningReadOverride = {answer, &run};
    }
    ~QuietScope() {
        std::memcpy(ParameterBlock, slots_, sizeof slots_);
        TuningReadOverride = override_;
    }
    QuietScope(const QuietScope &) = delete;
    QuietScope &operator=(const QuietScope &) = delete;

  private:
    float slots_[ParameterCount];
    SceneDrawScope seam_;
    TuningReadSeam override_;
};

// A value far from `value` in either direction, so any slot that depends on it moves.
float moved_from(float value) {
    return value < 0.5f ? value + 0.5f : value - 0.5f;
}

} // namespace

void scan_scene_reads(float clock, TuningBank &bank, SceneReads &out) {
    QuietRun run = {&bank, &out, true, -1, 0.0f, 0};
    QuietScope quiet(run);
    out.count = 0;
    out.scene = scene_for_clock(clock, &out.local_time);
    float base[ParameterCount], probed[ParameterCount];
    run_quietly(out.scene, out.local_time, base);
    run.adding = false;

    out.program_slot = -1;
    for (int i = 0; i < SceneProgramCount; ++i)
        if (run.program != 0 && SceneProgramTable[i] == run.program) out.program_slot = i;

    for (int r = 0; r < out.count; ++r) {
        ControllerRead &read = out.reads[r];
        run.moved = read.controller;
        run.moved_value = moved_from(read.value);
        run_quietly(out.scene, out.local_time, probed);
        // Bitwise, so a slot that is NaN both times counts as unchanged.
        for (int k = 0; k < ParameterCount; ++k)
            if (std::memcmp(&base[k], &probed[k], sizeof(float)) != 0) read.slots |= 1u << k;
    }
}

void untouch_scene_reads(float clock, TuningBank &bank) {
    float local_time;
    const int scene = scene_for_clock(clock, &local_time);
    // Every 60 fps frame of the scene's span: no segment is shorter than a frame.
    const double start = SceneCuts[scene - 1].start;
    const double end = scene < SceneCount ? SceneCuts[scene].start : start + 1.0;
    SceneReads reads{};
    {
        QuietRun run = {&bank, &reads, true, -1, 0.0f, 0};
        QuietScope quiet(run);
        float slots[ParameterCount];
        for (int k = 0; start + k / 60.0 < end; ++k) {
            const int at = scene_for_clock(static_cast<float>(start + k / 60.0), &local_time);
            if (at == scene) run_quietly(scene, local_time, slots);
        }
    }
    for (int i = 0; i < reads.count; ++i) bank.untouch(reads.reads[i].controller);
}

void untouch_all(TuningBank &bank) {
    for (int controller = 0; controller < ControllerCount; ++controller) bank.untouch(controller);
}
