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
        SceneDraw = draw && keep[i] ? SceneDrawGl : SceneDrawNothing;
        render_frame(stamps[i]);
        if (keep[i] && !kept(i, stamps[i])) stopped = true;
    }
    SceneDraw = SceneDrawGl;
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

std::vector<SurveyFrame> survey_timeline(double fps, double scene_9_seconds) {
    std::vector<SurveyFrame> survey;
    demo_clock_reset();
    SceneDraw = SceneDrawNothing;
    float scene_9_start = 0.0f;
    bool in_scene_9 = false;
    for (long k = 0;; ++k) {
        const int32_t now = frame_time_ms(k, fps);
        render_frame(now);
        float local = 0.0f;
        const int scene = scene_for_clock(DemoClock, &local);
        if (scene == 9 && !in_scene_9) in_scene_9 = true, scene_9_start = DemoClock;
        if (in_scene_9 && DemoClock - scene_9_start > scene_9_seconds) break;
        survey.push_back({now, DemoClock, scene});
    }
    SceneDraw = SceneDrawGl;
    demo_clock_reset();
    return survey;
}

std::array<SceneSpan, 9> scene_spans(const std::vector<SurveyFrame> &survey) {
    std::array<SceneSpan, 9> spans;
    for (std::size_t i = 0; i < survey.size(); ++i) {
        SceneSpan &span = spans[static_cast<std::size_t>(survey[i].scene - 1)];
        if (span.first > span.last) span.first = i;
        span.last = i;
    }
    return spans;
}
