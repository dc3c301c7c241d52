#include "timeline_run.h"

#include "platform/midi_in.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_pass.h"
#include "tuning/tuning_bank.h"

bool run_selected(const std::vector<int32_t> &stamps, const std::vector<bool> &keep, bool draw,
                  const KeptFrame &kept) {
    demo_clock_reset();
    bool stopped = false;
    for (std::size_t i = 0; i < stamps.size() && !stopped; ++i) {
        const SceneDrawScope frame(draw && keep[i] ? SceneDrawGl : SceneDrawNothing);
        render_frame(stamps[i]);
        if (keep[i] && !kept(i, stamps[i])) stopped = true;
    }
    return !stopped;
}

bool run_plan(const FramePlan &plan, bool draw, const KeptFrame &kept) {
    std::vector<bool> keep(plan.stamps.size(), false);
    for (std::size_t i = plan.first_kept; i < keep.size(); ++i) keep[i] = true;
    return run_selected(plan.stamps, keep, draw, kept);
}

void detach_live_tuning() {
    midi_in_close_all();
}

void forget_tuning() {
    for (unsigned char &touched : Tuning.touched) touched = 0;
}
