#include "timeline/timeline_survey.h"

#include "timeline/frame_grid.h"
#include "timeline/scene_pass.h"

std::vector<SurveyFrame> survey_timeline(double fps, double scene_9_seconds) {
    std::vector<SurveyFrame> survey;
    const SceneDrawScope nothing_drawn(SceneDrawNothing);
    demo_clock_reset();
    float scene_9_start = 0.0f;
    bool in_scene_9 = false;
    for (long k = 0;; ++k) {
        const int32_t now = frame_time_ms(k, fps);
        const DemoClockState before = demo_clock_save();
        render_frame(now);
        float local = 0.0f;
        const int scene = scene_for_clock(DemoClock, &local);
        if (scene == 9 && !in_scene_9) in_scene_9 = true, scene_9_start = DemoClock;
        if (in_scene_9 && DemoClock - scene_9_start > scene_9_seconds) break;
        survey.push_back({now, DemoClock, scene, before});
    }
    demo_clock_reset();
    return survey;
}

std::array<SceneSpan, SceneCount> scene_spans(const std::vector<SurveyFrame> &survey) {
    std::array<SceneSpan, SceneCount> spans;
    for (std::size_t i = 0; i < survey.size(); ++i) {
        SceneSpan &span = spans[static_cast<std::size_t>(survey[i].scene - 1)];
        if (span.first > span.last) span.first = i;
        span.last = i;
    }
    return spans;
}
