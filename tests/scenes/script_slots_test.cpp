// Every scene script's frame, run the way render_frame runs it through a recording draw seam and
// read observer: its sixteen slots bit for bit, what it reads from the tuning bank, and how it
// draws. Expected values were worked out independently from the scene formulas, as float32
// literals that round-trip exactly; the comments say why a row is there.
#include "gfx/programs.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline/scenes.h"
#include "tuning/tuning_bank.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <iomanip>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using Slots = std::array<float, ParameterCount>;
using Script = void (*)(float);
using Reads = std::vector<std::pair<int, float>>; // (controller, default) in order

// One frame: its reads, the last pass's program and block as the pass received it, the overlay's
// local time, and the order of it all ('r' read, 'p' pass, 'o' overlay).
struct Frame {
    Reads reads;
    GLuint program = 0;
    Slots block{};
    float overlay = NAN;
    std::string order;
};
Frame Recorded;

// A zeroed block and program handles unlike the last frame's (a rebuild may replace them between
// frames), then the script.
const Frame &run(Script script, float a) {
    static GLuint generation = 0;
    ++generation;
    for (int i = 0; i < SceneProgramCount; ++i)
        SceneProgramTable[i] = 0x5000 + 0x100 * generation + 17 * static_cast<GLuint>(i);
    for (float &slot : ParameterBlock) slot = 0.0f;
    Recorded = Frame{};
    SceneDraw = {[](GLuint program) {
                     Recorded.program = program;
                     std::memcpy(Recorded.block.data(), ParameterBlock, sizeof Recorded.block);
                     Recorded.order += 'p';
                 },
                 [](float a) {
                     Recorded.overlay = a;
                     Recorded.order += 'o';
                 }};
    TuningReadObserver = [](int controller, float fallback) {
        Recorded.reads.emplace_back(controller, fallback);
        Recorded.order += 'r';
    };
    script(a);
    SceneDraw = SceneDrawNothing;
    TuningReadObserver = nullptr;
    return Recorded;
}

std::string show(const Slots &slots) {
    std::ostringstream text;
    text << std::setprecision(9);
    for (float slot : slots) text << slot << ' ';
    return text.str();
}

struct Row {
    float a;
    Slots slots;
};

// Each row is one frame: its reads (when given), then exactly one pass with the program slot's
// handle as the table holds it then and the row's slots bit for bit, nothing written after it;
// scene 1 alone then lays its credits, with its own local time.
void expect_rows(Script script, int program_slot, const Reads *reads,
                 const std::vector<Row> &rows) {
    for (const Row &row : rows) {
        SCOPED_TRACE(testing::Message() << "a = " << std::setprecision(9) << row.a);
        const Frame &frame = run(script, row.a);
        const bool overlay = script == scene_1;
        EXPECT_EQ(frame.order, std::string(frame.reads.size(), 'r') + (overlay ? "po" : "p"));
        EXPECT_EQ(overlay ? frame.overlay : row.a, row.a) << "the overlay's local time";
        EXPECT_EQ(frame.reads, reads ? *reads : frame.reads);
        EXPECT_EQ(frame.program, SceneProgramTable[program_slot]);
        Slots after;
        std::memcpy(after.data(), ParameterBlock, sizeof after);
        for (const Slots &slots : {frame.block, after})
            EXPECT_EQ(std::memcmp(slots.data(), row.slots.data(), sizeof slots), 0)
                << "got  " << show(slots) << "\nwant " << show(row.slots);
    }
}

const Reads None;
const Reads Scene3Reads = {{2, 0.2f}, {3, 0.43f}, {4, 0.24f}, {5, 0.4f}, {6, 0.37f}};
const Reads Scenes4And5Reads = {{2, 0.36f}, {3, 0.39f}, {4, 0.43f}, {5, 0.01f}};
const Reads Scene6Reads = {{2, 0.31f}, {3, 0.28f}, {4, 0.28f}, {5, 0.0f}, {6, 0.0f}};

TEST(ScriptSlots, Scene1TimeAndRamps) {
    expect_rows(scene_1, 0, &None,
                {
                    // first frame: 0.05 x 12.15^2
                    {-0.15f, {-0.15f, 7.381125f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                    // 0.05 x 144 formed in double rounds up from 7.2
                    {0, {0, 7.2000003f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                    // from 12 to 33 neither ramp
                    {20.0f, {20.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                    // approaching 0.4 x 4.7^2 = 8.836
                    {37.69f, {37.69f, 8.798435f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                });
}

TEST(ScriptSlots, Scene2CircleAndHeading) {
    expect_rows(scene_2, 7, &None,
                {
                    // slot 9 = 1.6; heading (0.48, -0.25) / 0.5412
                    {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1.6f, 0, 0, 0.88691413f, -0.46193442f, 0, 0}},
                    {5.0f,
                     {6.7082043f, 0, 0, 0.70710677f, 0, 0, 0, 0, 1.595992f, -1.1368204f, 0, 0,
                      0.046538394f, -0.99891657f, 0, 0}},
                    // sqrt(1.21) = 1.1, clamped to 1
                    {12.1f,
                     {10.435516f, 0, 0, 1.0f, 0, 0, 0, 0, -0.75075257f, -4.43793f, 0, 0,
                      -0.9982964f, -0.058346886f, 0, 0}},
                });
}

TEST(ScriptSlots, Scenes3To5RiseFlickerAndDefaults) {
    expect_rows(
        scene_3, 5, &Scene3Reads,
        {
            // sqrt(0.25)
            {0.25f, {0.25f, 0.5f, 0, 0, 0.2f, 0.43f, 0.24f, 0.4f, 0.37f, 0, 0, 0, 0, 0, 0, 0.5f}},
            // neither branch
            {1.0f, {1.0f, 1.0f, 0, 0, 0.2f, 0.43f, 0.24f, 0.4f, 0.37f, 0, 0, 0, 0, 0, 0, 0.5f}},
            // flicker depth 0.25
            {7.3f,
             {7.3f, 0.7512055f, 0, 0, 0.2f, 0.43f, 0.24f, 0.4f, 0.37f, 0, 0, 0, 0, 0, 0, 0.5f}},
        });

    expect_rows(
        scene_4, 4, &Scenes4And5Reads,
        {
            {0.25f, {0.25f, 0.5f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0, 0}},
            {1.0f, {1.0f, 1.0f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0, 0}},
            // the flicker starts at 6.5 here: depth close to 0.25
            {7.49f, {7.49f, 0.7704647f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0, 0}},
        });
    expect_rows(
        scene_5, 5, &Scenes4And5Reads,
        {
            {0.25f,
             {0.25f, 0.5f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0, 0.3255165f}},
            // sin^2 above 0.875: slot 15 clamped to 0
            {1.25f, {1.25f, 1.0f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0, 0}},
            {7.3f,
             {7.3f, 0.7512055f, 0, 0, 0.36f, 0.39f, 0.43f, 0.01f, 0, 0, 0, 0, 0, 0, 0,
              0.060702924f}},
        });
}

TEST(ScriptSlots, Scene6SawtoothAndFlicker) {
    expect_rows(scene_6, 3, &Scene6Reads,
                {
                    // first frame: the sawtooth starts below zero
                    {-0.4f,
                     {-0.4f, 1.0f, 0.41666666f, 1.36f, 1.0f, 0.31f, 0.28f, 0.28f, 0, 0, 0, 0, 0, 0,
                      0, -0.29189998f}},
                    // stored sawtooth exactly 2.625 stays
                    {3.5971224f,
                     {3.5971224f, 1.0f, 0.2941799f, 0.7604316f, 1.0f, 0.31f, 0.28f, 0.28f, 0, 0, 0,
                      0, 0, 0, 0, 2.625f}},
                    // one step above 2.625 wraps to 2^-22
                    {3.5971227f,
                     {3.5971227f, 1.0f, 0.2941799f, 0.7604315f, 1.0f, 0.31f, 0.28f, 0.28f, 0, 0, 0,
                      0, 0, 0, 0, 2.3841858e-07f}},
                    // slot 1 above 1 (the flicker swings both ways), 10.4354 reduced three times
                    {14.3f,
                     {14.3f, 1.3036408f, 0.16460904f, -0.84500015f, 0.6f, 0.31f, 0.28f, 0.28f, 0, 0,
                      0, 0, 0, 0, 0, 2.5604248f}},
                });
}

TEST(ScriptSlots, Scene7Ramps) {
    expect_rows(
        scene_7, 6, &None,
        {
            {4.0f, {4.0f, 0, -1.0f, 1.6f, 2.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, -2.7f, 0.8f}},
            // a x 0.2 formed in double
            {6.5f, {6.5f, 0, -1.0f, 2.5f, 2.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, -2.7f, 1.3000001f}},
            {7.0f, {7.0f, 0.125f, -1.0f, 2.5f, 2.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, -2.7f, 1.4f}},
            // slot 1 clamped to 1.1, slot 3 to 0
            {11.0f, {11.0f, 1.1f, 2.4641016f, 0, 2.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, -2.7f, 2.2f}},
        });
}

// One row per segment; the segment boundaries are checked by the reads below.
TEST(ScriptSlots, Scene8EverySegmentWithDefaults) {
    expect_rows(
        scene_8, 6, nullptr,
        {
            {1.875f,
             {1.875f, 1.2f, 1.84f, 0, 1.859375f, 0.32f, 0, 0, 0.36f, 0.47f, 0.43f, 0.01f, 0, 0,
              3.1823997f, 0.375f}},
            {3.75f,
             {3.75f, 1.2f, 1.36f, 0, 1.71875f, 0, 0, 0, 0.19f, 0.55f, 0.41f, 0.76f, 0, 0, 3.12f,
              3.3707998f}},
            {9.0f,
             {9.0f, 1.05f, 1.2247449f, 0, 1.3249999f, 0, 0, 0, 0.11f, 0.18f, 0.2f, 0.39f, 0, 0,
              3.5568f, 4.608f}},
            {13.0f,
             {13.0f, 0.85f, 1.0f, 0, 1.025f, 0, 0, 0, 0.78f, 0.56f, 0.8f, 0.69f, 0, 0, 4.6419997f,
              1.4352f}},
            {17.0f,
             {17.0f, 1.2f, 0.5999999f, 0, 0.72499996f, 0.35f, 0, 0, 0, 0, 0, 0, 0, 0, 4.0559998f,
              6.655813f}},
            // slot 11 ramps up to controller 13's value at the segment's end
            {20.0f,
             {20.0f, 1.2f, 0.5f, 0, 0.49999994f, 0, 0, 0, 0.09f, 0, 0.34f, -0.1875f, 0, 0, -2.525f,
              5.85f}},
            {22.5f, {22.5f, 1.22f, 1.2f, 0, 0.31249994f, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 1.5f, 2.6f}},
            {28.0f,
             {28.0f, 1.3f, 1.0583005f, 0, 0, 0.2f, 0, 0, 0, 0, 0, 0, 0, 0, 4.1184f, 6.3148756f}},
            {30.0f,
             {30.0f, 1.2f, 2.0f, 0, 0, 0, 0, 0, 0.17f, 0.61f, 0.63f, 0.02f, 0, 0, 3.0264f, 0}},
            {33.75f, {33.75f, 1.2f, 1.5f, 0, 0, 0, 0, 0, 0.55f, 0.44f, 0.28f, 0, 0, 0, -3.1f, 0}},
            // the end of the scene
            {50.0f, {50.0f, 0.56249994f, -1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -3.0f, 0}},
        });
}

TEST(ScriptSlots, Scene9TakesTheFullClock) {
    expect_rows(scene_9, 1, &None,
                {{151.2f, {151.2f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}});
}

// Only what each segment uses, in the order 8, 9, 12, 13, 2, 3, 4, 5: never controllers 10, 11.
TEST(ScriptReads, Scene8ReadsWhatEachSegmentUsesAtBothEnds) {
    const Reads expected[11] = {
        {{8, 0.36}, {9, 0.47}, {12, 0.43}, {13, 0.01}, {2, 0.46}, {3, 0.32}, {4, 0.51}, {5, 0}},
        {{8, 0.19}, {9, 0.55}, {12, 0.41}, {13, 0.76}, {2, 0.34}, {3, 0}, {4, 0.5}, {5, 0.42}},
        {{8, 0.11}, {9, 0.18}, {12, 0.2}, {13, 0.39}, {3, 0}, {4, 0.57}, {5, 0.45}},
        {{8, 0.78}, {9, 0.56}, {12, 0.8}, {13, 0.69}, {2, 0.25}, {3, 0}, {4, 0.8}, {5, 0.23}},
        {{8, 0}, {9, 0}, {12, 0}, {13, 0}, {3, 0.35}, {4, 0.65}, {5, 0.84}},
        {{8, 0.09}, {9, 0}, {12, 0.34}, {13, 0}},
        {{8, 0}, {9, 0}, {12, 0}, {13, 0}},
        {{3, 0.2}, {4, 0.66}, {5, 0.8}},
        {{8, 0.17}, {9, 0.61}, {12, 0.63}, {13, 0.02}, {4, 0.485}},
        {{8, 0.55}, {9, 0.44}, {12, 0.28}, {13, 0}},
        {{8, 0}, {9, 0}, {12, 0}, {13, 0}, {5, 0}},
    };
    for (int segment = 1; segment <= 11; ++segment) {
        const float start = 3.75f * static_cast<float>(segment - 1);
        // Bounds are strict: the start belongs to the segment, its end to the next.
        const float last = segment == 11 ? 50.0f : std::nextafter(start + 3.75f, 0.0f);
        for (float a : {start, last})
            EXPECT_EQ(run(scene_8, a).reads, expected[segment - 1]) << "a = " << a;
    }
}

float tuned(int byte) {
    return static_cast<float>(byte / 127.0);
}

// Controllers touched from MIDI: each tuned value reaches its slot, through the script's
// arithmetic, where the defaults cannot show it (some 0, some alike; scenes 3 to 5 have distinct
// defaults, so their reads and slots above already pin which controller lands where).
TEST(TunedScripts, TunedControllersReachTheirSlots) {
    // Controllers 10 and 11 are touched too, to show that slots 10 and 11 take 12 and 13.
    const std::pair<int, int> touches[] = {{2, 127}, {3, 64},  {4, 32},  {5, 100}, {6, 1},  {8, 10},
                                           {9, 20},  {10, 99}, {11, 98}, {12, 30}, {13, 40}};
    for (auto [controller, byte] : touches)
        Tuning.receive(0xB0, static_cast<unsigned char>(controller),
                       static_cast<unsigned char>(byte));
    const float k3 = tuned(64), k4 = tuned(32), k5 = tuned(100), k6 = tuned(1), k8 = tuned(10),
                k9 = tuned(20), k12 = tuned(30), k13 = tuned(40);

    // Controller 2 drives slot 5 here, not slot 4; controllers 3 and 4 share a default, 5 and 6
    // default to 0.
    expect_rows(scene_6, 3, &Scene6Reads,
                {{5.0f,
                  {5.0f, 1.0f, 0.26666668f, 0.54999995f, 1.0f, 1.0f, k3, k4, k5, k6, 0, 0, 0, 0, 0,
                   1.0237498f}}});

    // Scene 8 in the middle of each segment but the eighth, which reads no controller 8 to 13:
    // controller 2 at 1.0 gives slot 2 = 4 in segments 1, 2 and 4.
    expect_rows(
        scene_8, 6, nullptr,
        {
            {1.875f,
             {1.875f, 1.2f, 4.0f, 0, 1.859375f, k3, 0, 0, k8, k9, k12, k13, 0, 0, 1.5722834f,
              5.2883854f}},
            {5.625f,
             {5.625f, 1.2f, 4.0f, 0, 1.578125f, k3, 0, 0, k8, k9, k12, k13, 0, 0, 1.5722834f,
              6.0383854f}},
            {9.375f,
             {9.375f, 1.05f, 1.3693064f, 0, 1.296875f, k3, 0, 0, k8, k9, k12, k13, 0, 0, 1.5722834f,
              6.7883854f}},
            {13.125f,
             {13.125f, 0.875f, 4.0f, 0, 1.015625f, k3, 0, 0, k8, k9, k12, k13, 0, 0, 1.1972834f,
              4.9133854f}},
            {16.875f,
             {16.875f, 1.2f, 0.7499999f, 0, 0.73437494f, k3, 0, 0, k8, k9, k12, k13, 0, 0,
              1.5722834f, 6.282692f}},
            // controller 13 plus the ramp
            {20.625f,
             {20.625f, 1.2f, 0.5f, 0, 0.45312494f, 0, 0, 0, k8, k9, k12, 0.17433563f, 0, 0,
              -2.5875f, 5.975f}},
            {24.375f,
             {24.375f, 1.22f, 1.2f, 0, 0.17187493f, 0, 0, 0, k8, k9, k12, k13, 0, 1.0f, 1.5f,
              2.975f}},
            {31.875f,
             {31.875f, 1.2f, 2.0f, 0, 0, 0, 0, 0, k8, k9, k12, k13, 0, 0, 1.5722834f, 0.375f}},
            {35.625f, {35.625f, 1.2f, 1.5f, 0, 0, 0, 0, 0, k8, k9, k12, k13, 0, 0, -3.1f, 0}},
            // controller 5 times 6.14
            {40.0f,
             {40.0f, 1.3125f, -1.0f, 0, 0, 0, 0, 0, k8, k9, k12, k13, 0, 0, -3.0f, 4.8346453f}},
        });
    // Untouched again, for whatever runs next in this process and for the export at exit.
    for (const auto &touch : touches) Tuning.touched[touch.first] = 0;
}

} // namespace
