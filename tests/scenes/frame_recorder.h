// Runs one scene script the way render_frame does and records what the frame reads and draws.
#pragma once
#include "gfx/gl.h"
#include "timeline/parameter_block.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

using Slots = std::array<float, ParameterCount>;
using Script = void (*)(float);

struct FrameEvent {
    enum Kind { Read, Pass, Overlay } kind;
    int controller = -1; // Read
    float value = 0.0f;  // Read: the default passed; Overlay: the local time passed
    GLuint program = 0;  // Pass
    Slots block{};       // Pass: the ParameterBlock as the pass received it
};

// Fake program handles, distinct per program slot and never 0.
constexpr GLuint fake_program(int program_slot, GLuint generation = 0) {
    return 0x5000 + 0x100 * generation + 17 * static_cast<GLuint>(program_slot);
}
void fill_program_table(GLuint generation);

// Installs the recording seam and observer for the test's duration.
class SceneFrameTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    struct Row {
        float a;
        Slots slots;
    };
    // Runs the script over the table, comparing the block each pass received bit for bit.
    void expect_rows(Script script, const std::vector<Row> &rows);

    // A zeroed ParameterBlock, then the script: one frame.
    const std::vector<FrameEvent> &run(Script script, float a);
    // The frame's only pass; fails the test when there is not exactly one.
    FrameEvent the_pass() const;
    // (controller, default) of every read, in order.
    std::vector<std::pair<int, float>> reads() const;
};

// Bit-for-bit comparison of all sixteen slots.
void expect_slots(const Slots &actual, const Slots &expected);
