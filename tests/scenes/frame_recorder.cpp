#include "frame_recorder.h"

#include "gfx/programs.h"
#include "timeline/scene_pass.h"
#include "tuning/tuning_bank.h"

#include <cstdint>
#include <cstring>
#include <iomanip>
#include <sstream>

namespace {

std::vector<FrameEvent> Events;

void record_pass(GLuint program) {
    FrameEvent event{FrameEvent::Pass};
    event.program = program;
    std::memcpy(event.block.data(), ParameterBlock, sizeof ParameterBlock);
    Events.push_back(event);
}

void record_overlay(float a) {
    FrameEvent event{FrameEvent::Overlay};
    event.value = a;
    Events.push_back(event);
}

void record_read(int controller, float fallback) {
    FrameEvent event{FrameEvent::Read};
    event.controller = controller;
    event.value = fallback;
    Events.push_back(event);
}

uint32_t bits(float value) {
    uint32_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

std::string show(float value) {
    std::ostringstream text;
    text << std::setprecision(9) << value << " (" << std::hexfloat << value << ")";
    return text.str();
}

} // namespace

void fill_program_table(GLuint generation) {
    for (int i = 0; i < SceneProgramCount; ++i) SceneProgramTable[i] = fake_program(i, generation);
}

void SceneFrameTest::SetUp() {
    SceneDraw = SceneDrawSeam{record_pass, record_overlay};
    TuningReadObserver = record_read;
    fill_program_table(0);
    Events.clear();
}

void SceneFrameTest::TearDown() {
    SceneDraw = SceneDrawNothing;
    TuningReadObserver = nullptr;
}

const std::vector<FrameEvent> &SceneFrameTest::run(Script script, float a) {
    Events.clear();
    for (float &slot : ParameterBlock) slot = 0.0f;
    script(a);
    return Events;
}

FrameEvent SceneFrameTest::the_pass() const {
    std::vector<FrameEvent> passes;
    for (const FrameEvent &event : Events)
        if (event.kind == FrameEvent::Pass) passes.push_back(event);
    EXPECT_EQ(passes.size(), 1u) << "a frame draws exactly once";
    return passes.empty() ? FrameEvent{FrameEvent::Pass} : passes.front();
}

std::vector<std::pair<int, float>> SceneFrameTest::reads() const {
    std::vector<std::pair<int, float>> result;
    for (const FrameEvent &event : Events)
        if (event.kind == FrameEvent::Read) result.emplace_back(event.controller, event.value);
    return result;
}

void expect_slots(const Slots &actual, const Slots &expected) {
    for (int k = 0; k < ParameterCount; ++k)
        EXPECT_EQ(bits(actual[k]), bits(expected[k]))
            << "slot " << k << ": got " << show(actual[k]) << ", want " << show(expected[k]);
}

void SceneFrameTest::expect_rows(Script script, const std::vector<Row> &rows) {
    for (const Row &row : rows) {
        SCOPED_TRACE("a = " + show(row.a));
        run(script, row.a);
        expect_slots(the_pass().block, row.slots);
        // Nothing is written after the pass.
        Slots after;
        std::memcpy(after.data(), ParameterBlock, sizeof ParameterBlock);
        expect_slots(after, row.slots);
    }
}
