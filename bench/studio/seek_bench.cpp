// What a studio move costs before the next frame: the key, the clock's replay from its checkpoint,
// a music seek that does nothing, and the frame call that takes the replayed clock. Beside it the
// replay of the whole run from frame 0 that the checkpoints spare, and the start-up survey.
#include "platform/keys.h"
#include "studio/time_control.h"
#include "timeline/frame_grid.h"
#include "timeline/scene_pass.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

static uint32_t LastSeek;
static const MusicMoves NoMusic = {[](void *, uint32_t ms) { LastSeek = ms; }, nullptr, nullptr,
                                   nullptr};

// Across the whole timeline: every 2 s forward from the start, each scene's start, 10 s steps back.
static std::vector<int> seek_keys() {
    std::vector<int> keys = {KEY_HOME};
    for (int32_t t = 0; t < StudioEndMs; t += 2000) keys.push_back(KEY_RIGHT);
    for (int key = KEY_DIGIT_1; key <= KEY_DIGIT_9; ++key) keys.push_back(key);
    for (int i = 0; i < 16; ++i) keys.push_back(-KEY_LEFT); // negative: with Shift
    return keys;
}

// CPU time, not wall time: on a shared machine a seek preempted midway would count others' work.
static double thread_cpu_us() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Each seek timed on its own as well, for the median and the worst over all of them.
static void BM_seek(benchmark::State &state) {
    TimeControl tc;
    time_control_start(&tc, NoMusic, 0, 0, -1);
    const std::vector<int> keys = seek_keys();
    std::vector<double> seek_us;
    uint32_t timer = 0;
    for (auto _ : state) {
        const int key = keys[seek_us.size() % keys.size()];
        const double begin = thread_cpu_us();
        time_control_key(&tc, key < 0 ? -key : key, key < 0, timer);
        benchmark::DoNotOptimize(time_control_frame(&tc, timer));
        seek_us.push_back(thread_cpu_us() - begin);
    }
    std::sort(seek_us.begin(), seek_us.end());
    state.counters["median_us"] = seek_us[seek_us.size() / 2];
    state.counters["worst_us"] = seek_us.back();
    state.counters["seeks"] = static_cast<double>(seek_us.size());
    benchmark::DoNotOptimize(LastSeek);
}
BENCHMARK(BM_seek)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

static void BM_replay_from_zero_to_end(benchmark::State &state) {
    const SceneDrawSeam drawing = SceneDraw;
    SceneDraw = SceneDrawNothing;
    const long last = frame_nearest(StudioEndMs / 1000.0, StudioFps);
    for (auto _ : state) {
        demo_clock_reset();
        for (long k = 0; k < last; ++k) render_frame(frame_time_ms(k, StudioFps));
        benchmark::DoNotOptimize(DemoClock);
    }
    SceneDraw = drawing;
}
BENCHMARK(BM_replay_from_zero_to_end)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

static void BM_start(benchmark::State &state) {
    TimeControl tc;
    for (auto _ : state) time_control_start(&tc, NoMusic, 0, 0, -1);
}
BENCHMARK(BM_start)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
