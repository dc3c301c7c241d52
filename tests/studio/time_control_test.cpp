// The time control fed keys and timer readings, with no window: where each move lands (the scene
// starts come from the capture tool's survey), what the music is told, and that the clock it leaves
// gives the capture tool's parameter rows, after a move and while paused.
#include "parameter_dump.h"
#include "platform/keys.h"
#include "studio/time_control.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Music; // what the music was told, in order
const MusicMoves Recorder = {[](uint32_t ms) { Music += "s" + std::to_string(ms) + " "; },
                             [] { Music += "p "; }, [] { Music += "r "; }};

std::string row(int32_t now) {
    float local = 0.0f;
    const int scene = scene_for_clock(DemoClock, &local);
    return parameter_row(now, DemoClock, scene, local, ParameterBlock);
}

// A studio frame, run as the demo runs it (nothing reaches GL).
std::string frame_row(TimeControl *tc, uint32_t timer) {
    const int32_t now = time_control_frame(tc, timer);
    render_frame(now);
    return row(now);
}

// The capture tool's rows for the grid up to frame `last`, then `extra` stamps, all but the first
// `skip` frames kept.
std::vector<std::string> tool_rows(long last, std::vector<int32_t> extra, std::size_t skip) {
    std::vector<int32_t> stamps;
    for (long k = 0; k <= last; ++k) stamps.push_back(frame_time_ms(k, StudioFps));
    stamps.insert(stamps.end(), extra.begin(), extra.end());
    std::vector<bool> keep(stamps.size(), true);
    std::fill(keep.begin(), keep.begin() + static_cast<long>(skip), false);
    std::vector<std::string> rows;
    run_selected(stamps, keep, false, [&](std::size_t, int32_t now) {
        rows.push_back(row(now));
        return true;
    });
    SceneDraw = SceneDrawNothing; // the run leaves GL drawing on
    return rows;
}

struct TimeControlTest : testing::Test {
    void SetUp() override { SceneDraw = SceneDrawNothing, Music.clear(); }
    void TearDown() override { SceneDraw = SceneDrawGl; }
    TimeControl tc;
};

TEST_F(TimeControlTest, KeysMoveOnTheGridToScenesFirstFramesAndSeekTheMusic) {
    const std::vector<SurveyFrame> survey = survey_timeline(StudioFps, 2.0);
    const auto spans = scene_spans(survey);
    auto start = [&](int scene) { return survey[spans[static_cast<size_t>(scene - 1)].first].now; };
    time_control_start(&tc, Recorder, 50007, 0, -1);
    EXPECT_EQ(time_control_frame(&tc, 1000), 50000);
    struct Step {
        int key, shift, lands;
        uint32_t play_ms; // before the next key
    } steps[] = {{KEY_RIGHT, 0, 52000, 0},
                 {KEY_RIGHT, 1, 62000, 0},
                 {KEY_LEFT, 1, 52000, 0},
                 {KEY_HOME, 0, 0, 0},
                 {KEY_LEFT, 0, 0, 0},
                 {KEY_DIGIT_1 + 7, 0, 101183, 0},
                 {KEY_PAGE_UP, 0, start(7), 0},
                 {KEY_PAGE_DOWN, 0, start(8), 1500},
                 {KEY_PAGE_UP, 0, start(8), 0},
                 {KEY_DIGIT_9, 0, start(9), 0},
                 {KEY_RIGHT, 1, StudioEndMs, 0},
                 {KEY_LEFT, 0, 150000, 0}};
    uint32_t timer = 1000;
    std::string seeks = "s50000 ";
    for (const Step &step : steps) {
        time_control_key(&tc, step.key, step.shift, timer);
        EXPECT_EQ(time_control_frame(&tc, timer), step.lands) << step.key;
        seeks += "s" + std::to_string(step.lands) + (step.lands == StudioEndMs ? " p " : " ");
        time_control_frame(&tc, timer += step.play_ms);
    }
    EXPECT_EQ(Music, seeks + "r ");
}

TEST_F(TimeControlTest, ClockAfterAMoveOrAPauseIsTheCaptureToolsAtThatLoopTime) {
    const std::vector<std::string> rows = tool_rows(frame_nearest(152.0, StudioFps), {}, 0);
    for (long k = 1; k < static_cast<long>(rows.size()); k += 599) { // each side of checkpoints
        time_control_start(&tc, Recorder, frame_time_ms(k, StudioFps) - 3, 0, -1);
        ASSERT_EQ(frame_row(&tc, 7), rows[static_cast<size_t>(k)]) << k;
    }
    // Paused at 101025 after a live frame at 101020: that frame, as the tool runs those stamps.
    time_control_start(&tc, Recorder, 101000, 0, -1);
    Music.clear();
    std::vector<std::string> seen = {frame_row(&tc, 0), frame_row(&tc, 20)};
    time_control_key(&tc, KEY_SPACE, 0, 25);
    seen.push_back(frame_row(&tc, 40));
    EXPECT_EQ(frame_row(&tc, 5000), seen.back());
    EXPECT_EQ(seen, tool_rows(6060, {101020, 101025}, 6060));
    // A move while paused shows its frame and stays; play goes on from it on the grid.
    time_control_key(&tc, KEY_DIGIT_1 + 7, 0, 6000);
    EXPECT_EQ(frame_row(&tc, 6001), rows[6071]);
    EXPECT_EQ(frame_row(&tc, 9000), rows[6071]);
    time_control_key(&tc, KEY_SPACE, 0, 10000);
    EXPECT_EQ(frame_row(&tc, 10001), rows[6071]);
    EXPECT_EQ(frame_row(&tc, 10018), rows[6072]);
    EXPECT_EQ(Music, "p s101183 r ");
}

TEST_F(TimeControlTest, LoopsWrapAsMovesAndTheEndHoldsUntilAKey) {
    time_control_start(&tc, Recorder, 0, 10000, 12000);
    EXPECT_EQ(time_control_frame(&tc, 0xFFFFFF00u), 10000);
    EXPECT_EQ(time_control_frame(&tc, 0x100u), 10512); // across the timer's wrap
    EXPECT_EQ(time_control_frame(&tc, 0x100u + 1488), 10000);
    time_control_key(&tc, KEY_SPACE, 0,
                     0x100u + 1488); // a pause longer than the loop wraps nothing
    time_control_key(&tc, KEY_SPACE, 0, 90000);
    EXPECT_EQ(time_control_frame(&tc, 90000), 10000);
    time_control_key(&tc, KEY_L, 0, 91000); // loop off, then on for scene 1
    time_control_key(&tc, KEY_L, 0, 91000);
    EXPECT_EQ(time_control_frame(&tc, 92000), 12000);
    EXPECT_EQ(time_control_frame(&tc, 200000), 0); // a stall past the scene's end wraps
    time_control_key(&tc, KEY_L, 0, 200000);
    time_control_key(&tc, KEY_DIGIT_9, 0, 200000);
    time_control_frame(&tc, 200000);
    EXPECT_EQ(Music, "s10000 s10000 p r s0 s" + std::to_string(tc.scene_start_ms[8]) + " ");
    const std::string held = frame_row(&tc, 205000);
    EXPECT_EQ(held.substr(0, 7), "152000,");
    EXPECT_EQ(frame_row(&tc, 209000), held);
    time_control_key(&tc, KEY_SPACE, 0, 210000); // at the end: play again from the start
    EXPECT_EQ(time_control_frame(&tc, 210000), 0);
    EXPECT_EQ(Music.substr(Music.size() - 8), " p s0 r ");
}

} // namespace
