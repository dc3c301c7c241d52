// The time control fed keys and timer readings, with no window: where each move lands (the scene
// starts come from the capture tool's survey), what the music is told, and that the clock it leaves
// gives the capture tool's parameter rows, after a move and while paused.
#include "parameter_dump.h"
#include "studio/time_control.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline_run.h"

#include <gtest/gtest.h>

static TimeControl Tc;
static std::string Music; // what the music was told, in order
static std::string &told(void *music) {
    return *static_cast<std::string *>(music);
}
const MusicMoves Recorder = {
    [](void *music, uint32_t ms) { told(music) += "s" + std::to_string(ms) + " "; },
    [](void *music) { told(music) += "p "; }, [](void *music) { told(music) += "r "; }, &Music};

// The parameter row of the frame at `now`, drawn here as the demo does (nothing reaches GL), or
// with run = false the one the capture tool has just run.
static std::string row(int32_t now, bool run = true) {
    if (run) SceneDraw = SceneDrawNothing, render_frame(now);
    float local = 0.0f;
    const int scene = scene_for_clock(DemoClock, &local);
    return parameter_row(now, DemoClock, scene, local, ParameterBlock);
}

// The capture tool's rows over the grid to frame `last` and then `extra`, from frame `first` on.
static std::vector<std::string> tool_rows(long last, std::vector<int32_t> extra,
                                          std::size_t first) {
    for (long k = last; k >= 0; --k) extra.insert(extra.begin(), frame_time_ms(k, StudioFps));
    std::vector<std::string> rows;
    run_selected(extra, std::vector<bool>(extra.size(), true), false,
                 [&](std::size_t, int32_t now) { return rows.push_back(row(now, false)), true; });
    return rows.erase(rows.begin(), rows.begin() + static_cast<long>(first)), rows;
}

TEST(TimeControl, KeysMoveOnTheGridToScenesFirstFramesAndSeekTheMusic) {
    const std::vector<SurveyFrame> survey = survey_timeline(StudioFps, 2.0);
    auto start = [&](int scene) { return survey[scene_spans(survey)[scene - 1].first].now; };
    Music.clear();
    time_control_start(&Tc, Recorder, 50007, 0, -1);
    // Four numbers a step: a key, Shift, where it lands, the milliseconds played before the next.
    const int steps[] = {KEY_RIGHT,   0, 52000,       0, KEY_RIGHT,       1, 62000,    0,
                         KEY_LEFT,    1, 52000,       0, KEY_HOME,        0, 0,        0,
                         KEY_LEFT,    0, 0,           0, KEY_DIGIT_1 + 7, 0, 101183,   0,
                         KEY_PAGE_UP, 0, start(7),    0, KEY_PAGE_DOWN,   0, start(8), 1500,
                         KEY_PAGE_UP, 0, start(8),    0, KEY_DIGIT_9,     0, start(9), 0,
                         KEY_RIGHT,   1, StudioEndMs, 0, KEY_LEFT,        0, 150000,   0};
    uint32_t timer = 1000;
    std::string seeks = "s50000 ";
    for (const int *step = steps; step < std::end(steps); step += 4) {
        time_control_key(&Tc, step[0], step[1], timer);
        EXPECT_EQ(time_control_frame(&Tc, timer), step[2]) << step[0];
        seeks += "s" + std::to_string(step[2]) + (step[2] == StudioEndMs ? " p " : " ");
        time_control_frame(&Tc, timer += static_cast<uint32_t>(step[3]));
    }
    EXPECT_EQ(Music, seeks + "r ");
}

TEST(TimeControl, ClockAfterAMoveOrAPauseIsTheCaptureToolsAtThatLoopTime) {
    const std::vector<std::string> rows = tool_rows(frame_nearest(152.0, StudioFps), {}, 0);
    for (long k = 1; k < static_cast<long>(rows.size()); k += 599) { // each side of checkpoints
        time_control_start(&Tc, Recorder, frame_time_ms(k, StudioFps) - 3, 0, -1);
        ASSERT_EQ(row(time_control_frame(&Tc, 7)), rows[static_cast<std::size_t>(k)]) << k;
    }
    // Paused at 101025 after a live frame at 101020: that frame, as the tool runs those stamps.
    time_control_start(&Tc, Recorder, 101000, 0, -1);
    std::vector<std::string> seen = {row(time_control_frame(&Tc, 0)),
                                     row(time_control_frame(&Tc, 20))};
    time_control_key(&Tc, KEY_SPACE, 0, 25);
    seen.push_back(row(time_control_frame(&Tc, 40)));
    EXPECT_EQ(row(time_control_frame(&Tc, 5000)), seen.back());
    EXPECT_EQ(seen, tool_rows(6060, {101020, 101025}, 6060));
    // A move while paused stays paused; play goes on from its frame on the grid.
    time_control_key(&Tc, KEY_DIGIT_1 + 7, 0, 6000);
    time_control_key(&Tc, KEY_SPACE, 0, 10000);
    EXPECT_EQ(row(time_control_frame(&Tc, 10001)), rows[6071]);
    EXPECT_EQ(row(time_control_frame(&Tc, 10018)), rows[6072]);
}

TEST(TimeControl, LoopsWrapAsMovesAndTheEndHoldsUntilAKey) {
    Music.clear();
    time_control_start(&Tc, Recorder, 0, 10000, 12000);
    EXPECT_EQ(time_control_frame(&Tc, 0xFFFFFF00u), 10000);
    EXPECT_EQ(time_control_frame(&Tc, 0x100u), 10512); // across the timer's wrap
    time_control_key(&Tc, KEY_SPACE, 0, 0x100u);       // a pause longer than the loop
    time_control_key(&Tc, KEY_SPACE, 0, 90000);
    EXPECT_EQ(time_control_frame(&Tc, 90000), 10512);
    for (int twice = 0; twice < 2; ++twice) time_control_key(&Tc, KEY_L, 0, 91000); // scene 1's
    EXPECT_EQ(time_control_frame(&Tc, 92000), 12512);
    EXPECT_EQ(time_control_frame(&Tc, 200000), 0); // a stall past the scene's end wraps
    const int32_t end = Tc.scene_start_ms[1];      // and the loop's last frame comes before it
    EXPECT_EQ(time_control_frame(&Tc, 200000u + static_cast<uint32_t>(end) - 1), end - 1);
    EXPECT_EQ(time_control_frame(&Tc, 200000u + static_cast<uint32_t>(end)), 0);
    time_control_key(&Tc, KEY_DIGIT_9, 0, 200000); // out of the loop: ends it
    const std::string held =
        (time_control_frame(&Tc, 200000), row(time_control_frame(&Tc, 205000)));
    EXPECT_EQ(row(time_control_frame(&Tc, 209000)), held);
    time_control_key(&Tc, KEY_SPACE, 0, 210000); // at the end: play again from the start
    EXPECT_EQ(time_control_frame(&Tc, 210000), 0);
    EXPECT_EQ(Music, "s10000 p r s0 s0 s" + std::to_string(Tc.scene_start_ms[8]) + " p s0 r ");
}
