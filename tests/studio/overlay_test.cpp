// The studio's overlay: frame statistics, the controller reads found from the scripts, undo of a
// knob, the overlay's text, and its drawing, which must touch neither the offscreen picture nor
// the GL state the next frame relies on.
#include "gfx/overlay_font.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "gl_test_context.h"
#include "platform/window.h"
#include "studio/overlay_text.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "tuning/tuned_values_export.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(FrameStats, NearestRankOverTheLastSecondOfOneScene) {
    FrameStats stats;
    for (int i = 0; i < 100; ++i) stats.add(3, (i * 37 % 100 + 1) * 0.01f); // 0.01..1.00 shuffled
    FrameSummary s = stats.summary();
    EXPECT_EQ(s.frames, 100);
    EXPECT_FLOAT_EQ(s.median_ms, 0.50f);
    EXPECT_FLOAT_EQ(s.p99_ms, 0.99f);
    stats.add(3, 2000.0f); // spans a second alone: the earlier frames leave
    s = stats.summary();
    EXPECT_EQ(s.frames, 1);
    EXPECT_EQ(s.median_ms, 2000.0f);
    for (int i = 0; i < 300; ++i) stats.add(4, 5.0f); // another scene starts afresh
    EXPECT_EQ(stats.summary().frames, 200);
    stats.reset();
    EXPECT_EQ(stats.summary().frames, 0);
}

struct Row {
    int controller;
    float fallback;
    unsigned slots;
};

SceneReads scan(float clock, TuningBank &bank) {
    for (int i = 0; i < SceneProgramCount; ++i) SceneProgramTable[i] = 0x5000 + i;
    SceneReads reads{};
    scan_scene_reads(clock, bank, reads);
    for (GLuint &program : SceneProgramTable) program = 0;
    return reads;
}

TEST(SceneReads, ControllersDefaultsAndSlotsComeFromTheScripts) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 13, 127);
    bank.values[8] = 0.77f; // stored, untouched: the scan must leave it
    for (int k = 0; k < ParameterCount; ++k) ParameterBlock[k] = k + 0.5f;
    float before[ParameterCount];
    std::memcpy(before, ParameterBlock, sizeof before);
    const struct {
        float clock;
        int scene, program_slot;
        std::vector<Row> rows;
    } cases[] = {
        // Scene 8 segment 1: 8, 9, 12, 13 into slots 8 to 11, then four more into 2, 5, 14, 15.
        {102.0f,
         8,
         6,
         {{8, 0.36f, 1u << 8},
          {9, 0.47f, 1u << 9},
          {12, 0.43f, 1u << 10},
          {13, 0.01f, 1u << 11},
          {2, 0.46f, 1u << 2},
          {3, 0.32f, 1u << 5},
          {4, 0.51f, 1u << 14},
          {5, 0.0f, 1u << 15}}},
        // Segment 6 ramps slot 11 from controller 13; segment 8 reads none of the mix.
        {121.0f,
         8,
         6,
         {{8, 0.09f, 1u << 8}, {9, 0.0f, 1u << 9}, {12, 0.34f, 1u << 10}, {13, 0.0f, 1u << 11}}},
        {128.0f, 8, 6, {{3, 0.2f, 1u << 5}, {4, 0.66f, 1u << 14}, {5, 0.8f, 1u << 15}}},
        {55.0f,
         3,
         5,
         {{2, 0.2f, 1u << 4},
          {3, 0.43f, 1u << 5},
          {4, 0.24f, 1u << 6},
          {5, 0.4f, 1u << 7},
          {6, 0.37f, 1u << 8}}},
        {40.0f, 2, 7, {}},
    };
    for (const auto &c : cases) {
        const SceneReads reads = scan(c.clock, bank);
        EXPECT_EQ(reads.scene, c.scene);
        EXPECT_EQ(reads.program_slot, c.program_slot) << c.clock;
        ASSERT_EQ(reads.count, static_cast<int>(c.rows.size())) << c.clock;
        for (int i = 0; i < reads.count; ++i) {
            const ControllerRead &r = reads.reads[i];
            EXPECT_EQ(r.controller, c.rows[i].controller) << c.clock << " row " << i;
            EXPECT_EQ(r.fallback, c.rows[i].fallback) << c.clock << " row " << i;
            EXPECT_EQ(r.slots, c.rows[i].slots) << c.clock << " row " << i;
            EXPECT_EQ(r.touched, r.controller == 13);
            EXPECT_EQ(r.value, r.controller == 13 ? 1.0f : r.fallback);
        }
    }
    EXPECT_EQ(std::memcmp(before, ParameterBlock, sizeof before), 0);
    EXPECT_EQ(bank.values[8], 0.77f);
    EXPECT_EQ(SceneDraw.pass, SceneDrawGl.pass);
}

std::string exported(TuningBank &bank) {
    char line[TunedValuesLineSize];
    format_tuned_values(bank, line, sizeof line);
    return line;
}

TEST(SceneReads, UndoLeavesTheScenesControllersOutOfTheExport) {
    TuningBank bank(TuningBank::no_devices);
    for (unsigned char c : {2, 6, 13, 40}) bank.receive(0xB0, c, 127);
    // Segment 7 reads 8, 9, 12 and 13 only; the scene's other segments read 2 to 5.
    untouch_scene_reads(125.0f, bank);
    EXPECT_EQ(exported(bank), "6:1.00(127) 40:1.00(127) ");
    untouch_all(bank);
    EXPECT_EQ(exported(bank), "");
}

TEST(OverlayText, StateFrameTimesAndOneRowPerRead) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 13, 127);
    const SceneReads reads = scan(102.0f, bank);
    const OverlayView view{102350, 102.167f, true, true, 101183, 151000, {60, 12.5f, 31.25f},
                           &reads};
    char text[OverlayTextSize];
    const std::size_t length = format_overlay_text(view, text, sizeof text);
    EXPECT_EQ(length, std::strlen(text));
    std::vector<std::string> lines;
    for (const char *at = text; *at;) {
        const char *end = std::strchr(at, '\n');
        lines.emplace_back(at, end ? end : at + std::strlen(at));
        at = end ? end + 1 : at + std::strlen(at);
    }
    ASSERT_EQ(lines.size(), 7u + 8u);
    for (const std::string &line : lines) EXPECT_LE(line.size(), 40u) << line;
    EXPECT_EQ(lines[0], "scene 8  data/ball8.shader");
    EXPECT_NE(lines[1].find("102.350"), std::string::npos);
    EXPECT_NE(lines[2].find("102.167"), std::string::npos);
    EXPECT_EQ(lines[3], "PAUSED");
    EXPECT_NE(lines[4].find("101.183 - 151.000"), std::string::npos);
    EXPECT_NE(lines[5].find("12.5"), std::string::npos);
    EXPECT_NE(lines[5].find("31.2"), std::string::npos);
    EXPECT_EQ(lines[10], " 13   0.010   11  1.000 touched");
    EXPECT_EQ(lines[14], "  5   0.000   15  0.000 default");
    // A short buffer keeps whole lines only.
    EXPECT_EQ(format_overlay_text(view, text, 30), lines[0].size());
}

using Pixels = std::vector<unsigned char>;

Pixels offscreen() {
    Pixels rgba(OffscreenWidth * OffscreenHeight * 4);
    glBindTexture(GL_TEXTURE_2D, OffscreenTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}
Pixels window() {
    Pixels rgba(WindowWidth * WindowHeight * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

// What the next frame relies on, as the GL reports it.
std::vector<float> gl_state() {
    std::vector<float> state;
    for (GLenum cap :
         {GL_CULL_FACE, GL_BLEND, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_VERTEX_ARRAY, GL_COLOR_ARRAY})
        state.push_back(glIsEnabled(cap));
    for (GLenum name : {GL_VIEWPORT, GL_MATRIX_MODE, GL_CURRENT_PROGRAM, GL_TEXTURE_BINDING_2D,
                        GL_BLEND_SRC, GL_BLEND_DST, GL_POLYGON_MODE}) {
        GLint values[4] = {};
        glGetIntegerv(name, values);
        state.insert(state.end(), values, values + 4);
    }
    for (GLenum name : {GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX, GL_CURRENT_COLOR}) {
        GLfloat values[16] = {};
        glGetFloatv(name, values);
        state.insert(state.end(), values, values + 16);
    }
    return state;
}

TEST(OverlayDraw, DrawsInTheWindowOnlyAndLeavesTheStateAsFound) {
    ShaderFolder folder; // every scene shader a flat grey
    build_programs();
    for (float &slot : ParameterBlock) slot = 0.25f;
    glEnable(GL_CULL_FACE);
    scene_pass(SceneProgramTable[0]);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    const std::vector<float> state = gl_state();
    const Pixels picture = offscreen(), before = window();

    std::string text = "scene 8  data/ball8.shader";
    for (int i = 0; i < 16; ++i) text += "\n 13   0.010   11  1.000 touched";
    draw_overlay_text(text.c_str()); // down to about row 170 of 576: inside the copied region
    EXPECT_EQ(gl_state(), state);
    EXPECT_TRUE(offscreen() == picture);
    const Pixels after = window();
    int changed_in_region = 0, changed_right = 0;
    for (int y = 0; y < WindowHeight; ++y)
        for (int x = 0; x < WindowWidth; ++x) {
            const int at = (y * WindowWidth + x) * 4;
            if (std::memcmp(&before[at], &after[at], 3) == 0) continue;
            changed_in_region += y < OffscreenHeight;
            changed_right += x >= WindowWidth / 2;
        }
    EXPECT_GT(changed_in_region, 1000);
    EXPECT_EQ(changed_right, 0);
    // The next frame's pass covers the region before copying it: nothing of the text gets in.
    scene_pass(SceneProgramTable[0]);
    EXPECT_TRUE(offscreen() == picture);
    EXPECT_EQ(overlay_scale(576), 2);
    EXPECT_EQ(overlay_scale(1080), 3);
}

} // namespace
