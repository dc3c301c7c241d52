// What each script reads from the tuning bank and how it draws, with no controller touched.
#include "frame_recorder.h"

#include "gfx/programs.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

#include <cmath>
#include <cstring>

namespace {

using Reads = std::vector<std::pair<int, float>>;

struct ScriptCase {
    const char *name;
    Script script;
    float a;
    int program_slot;
};

// Every script, at a time inside its span.
const ScriptCase AllScripts[] = {
    {"scene_1", scene_1, 20.0f, 0}, {"scene_2", scene_2, 4.0f, 7},  {"scene_3", scene_3, 3.0f, 5},
    {"scene_4", scene_4, 3.0f, 4},  {"scene_5", scene_5, 3.0f, 5},  {"scene_6", scene_6, 5.0f, 3},
    {"scene_7", scene_7, 6.0f, 6},  {"scene_8", scene_8, 20.0f, 6}, {"scene_9", scene_9, 160.0f, 1},
};

using ScriptDrawTest = SceneFrameTest;

TEST_F(ScriptDrawTest, EachScriptDrawsOnceWithItsProgramAsTheTableHoldsItThen) {
    for (const ScriptCase &c : AllScripts) {
        SCOPED_TRACE(c.name);
        for (GLuint generation : {0u, 1u}) {
            // A rebuild between frames replaces every handle; the script must not keep an old one.
            fill_program_table(generation);
            const std::vector<FrameEvent> &events = run(c.script, c.a);
            EXPECT_EQ(the_pass().program, fake_program(c.program_slot, generation));
            // Reads come before the pass; scene 1's overlay follows it; nothing else happens.
            bool passed = false;
            for (const FrameEvent &event : events) {
                EXPECT_FALSE(passed && event.kind == FrameEvent::Read) << "read after the pass";
                passed = passed || event.kind == FrameEvent::Pass;
            }
            // Scene 1 alone lays its credits, over the finished frame, with its own local time.
            if (c.script == scene_1) {
                ASSERT_EQ(events.size(), 2u);
                EXPECT_EQ(events[1].kind, FrameEvent::Overlay);
                EXPECT_EQ(events[1].value, c.a);
            } else {
                for (const FrameEvent &event : events) EXPECT_NE(event.kind, FrameEvent::Overlay);
            }
        }
    }
}

using ScriptReadTest = SceneFrameTest;

TEST_F(ScriptReadTest, Scenes3To6ReadTheirControllersOnceInAscendingOrder) {
    const struct {
        const char *name;
        Script script;
        Reads expected;
    } cases[] = {
        {"scene_3", scene_3, {{2, 0.2f}, {3, 0.43f}, {4, 0.24f}, {5, 0.4f}, {6, 0.37f}}},
        {"scene_4", scene_4, {{2, 0.36f}, {3, 0.39f}, {4, 0.43f}, {5, 0.01f}}},
        {"scene_5", scene_5, {{2, 0.36f}, {3, 0.39f}, {4, 0.43f}, {5, 0.01f}}},
        {"scene_6", scene_6, {{2, 0.31f}, {3, 0.28f}, {4, 0.28f}, {5, 0.0f}, {6, 0.0f}}},
    };
    for (const auto &c : cases) {
        // The rise, the steady middle and the flicker take different branches.
        for (float a : {0.5f, 3.0f, 7.2f, 14.0f}) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(a));
            run(c.script, a);
            EXPECT_EQ(reads(), c.expected);
        }
    }
}

TEST_F(ScriptReadTest, ScriptsWithoutControllersReadNone) {
    for (Script script : {scene_1, scene_2, scene_7, scene_9}) {
        for (float a : {0.0f, 7.0f, 11.0f, 36.0f}) {
            run(script, a);
            EXPECT_TRUE(reads().empty()) << "a = " << a;
        }
    }
}

TEST_F(ScriptReadTest, Scene8ReadsOnlyWhatEachSegmentUsesInTheFixedOrder) {
    const Reads expected[11] = {
        {{8, 0.36f},
         {9, 0.47f},
         {12, 0.43f},
         {13, 0.01f},
         {2, 0.46f},
         {3, 0.32f},
         {4, 0.51f},
         {5, 0.0f}},
        {{8, 0.19f},
         {9, 0.55f},
         {12, 0.41f},
         {13, 0.76f},
         {2, 0.34f},
         {3, 0.0f},
         {4, 0.5f},
         {5, 0.42f}},
        {{8, 0.11f}, {9, 0.18f}, {12, 0.2f}, {13, 0.39f}, {3, 0.0f}, {4, 0.57f}, {5, 0.45f}},
        {{8, 0.78f},
         {9, 0.56f},
         {12, 0.8f},
         {13, 0.69f},
         {2, 0.25f},
         {3, 0.0f},
         {4, 0.8f},
         {5, 0.23f}},
        {{8, 0.0f}, {9, 0.0f}, {12, 0.0f}, {13, 0.0f}, {3, 0.35f}, {4, 0.65f}, {5, 0.84f}},
        {{8, 0.09f}, {9, 0.0f}, {12, 0.34f}, {13, 0.0f}},
        {{8, 0.0f}, {9, 0.0f}, {12, 0.0f}, {13, 0.0f}},
        {{3, 0.2f}, {4, 0.66f}, {5, 0.8f}},
        {{8, 0.17f}, {9, 0.61f}, {12, 0.63f}, {13, 0.02f}, {4, 0.485f}},
        {{8, 0.55f}, {9, 0.44f}, {12, 0.28f}, {13, 0.0f}},
        {{8, 0.0f}, {9, 0.0f}, {12, 0.0f}, {13, 0.0f}, {5, 0.0f}},
    };
    for (int segment = 1; segment <= 11; ++segment) {
        const float start = 3.75f * static_cast<float>(segment - 1);
        // Both ends of the segment: bounds are strict, so the start belongs to it.
        const float last = segment == 11 ? 50.0f : std::nextafter(start + 3.75f, 0.0f);
        for (float a : {start, last}) {
            SCOPED_TRACE("segment " + std::to_string(segment) + " at " + std::to_string(a));
            run(scene_8, a);
            EXPECT_EQ(reads(), expected[segment - 1]);
        }
    }
}

TEST_F(ScriptReadTest, AnUntouchedControllerHoldsTheDefaultOfItsLastReader) {
    ASSERT_FALSE(Tuning.is_touched(2));
    run(scene_3, 2.0f);
    EXPECT_EQ(Tuning.value(2), 0.2f);
    EXPECT_EQ(Tuning.value(6), 0.37f);
    run(scene_6, 2.0f);
    EXPECT_EQ(Tuning.value(2), 0.31f);
    EXPECT_EQ(Tuning.value(6), 0.0f);
    // Scene 4 reads no controller 6: it keeps scene 6's default.
    run(scene_4, 2.0f);
    EXPECT_EQ(Tuning.value(2), 0.36f);
    EXPECT_EQ(Tuning.value(6), 0.0f);

    // Segment 8 of scene 8 leaves controllers 8 and 2 alone.
    run(scene_8, 1.0f);
    EXPECT_EQ(Tuning.value(8), 0.36f);
    EXPECT_EQ(Tuning.value(2), 0.46f);
    run(scene_8, 27.0f);
    EXPECT_EQ(Tuning.value(8), 0.36f);
    EXPECT_EQ(Tuning.value(2), 0.46f);
    EXPECT_EQ(Tuning.value(3), 0.2f);
    // Slots 10 and 11 read controllers 12 and 13; controllers 10 and 11 are never read.
    run(scene_8, 13.0f);
    EXPECT_EQ(Tuning.value(12), 0.8f);
    EXPECT_EQ(Tuning.value(13), 0.69f);
    Tuning.values[10] = Tuning.values[11] = -1.0f;
    for (float a = 0.0f; a < 50.0f; a += 0.5f) run(scene_8, a);
    EXPECT_EQ(Tuning.value(10), -1.0f);
    EXPECT_EQ(Tuning.value(11), -1.0f);
    Tuning.values[10] = Tuning.values[11] = 0.0f;
}

using Scene2HeadingTest = SceneFrameTest;

// (slot 12, slot 13) must be the unit direction of the path (slot 8, slot 9) traces over time.
TEST_F(Scene2HeadingTest, HeadingIsTheUnitTangentOfThePath) {
    const float h = 1.0f / 64.0f;
    for (float a = h; a < 15.0f; a += 0.0625f) {
        run(scene_2, a - h);
        const Slots before = the_pass().block;
        run(scene_2, a + h);
        const Slots after = the_pass().block;
        run(scene_2, a);
        const Slots now = the_pass().block;

        const double dx = after[8] - before[8], dy = after[9] - before[9];
        const double length = std::hypot(dx, dy);
        EXPECT_NEAR(std::hypot(now[12], now[13]), 1.0, 1e-6) << "a = " << a;
        EXPECT_NEAR(now[12], dx / length, 2e-3) << "a = " << a;
        EXPECT_NEAR(now[13], dy / length, 2e-3) << "a = " << a;
    }
}

} // namespace
