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

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

TEST(FrameStats, NearestRankOverTheLastSecondOfOneScene) {
    FrameStats stats;
    for (int i = 0; i < 100; ++i) stats.add(3, (i * 37 % 100 + 1) * 0.01f); // 0.01..1.00 shuffled
    const FrameSummary s = stats.summary();
    EXPECT_EQ(s.frames, 100);
    EXPECT_FLOAT_EQ(s.median_ms, 0.50f);
    EXPECT_FLOAT_EQ(s.p99_ms, 0.99f);
    stats.add(3, 2000.0f); // spans a second alone: the earlier frames leave
    EXPECT_EQ(stats.summary().frames, 1);
    for (int i = 0; i < 300; ++i) stats.add(4, 5.0f); // another scene starts afresh
    EXPECT_EQ(stats.summary().frames, 200);
    stats.reset();
    EXPECT_EQ(stats.summary().frames, 0);
}

SceneReads scan(float clock, TuningBank &bank) {
    for (int i = 0; i < SceneProgramCount; ++i) SceneProgramTable[i] = 0x5000 + i;
    SceneReads reads{};
    scan_scene_reads(clock, bank, reads);
    for (GLuint &program : SceneProgramTable) program = 0;
    return reads;
}

// "scene/program: controller(default)>slot mask" per read, with "=value" when touched.
std::string rows(const SceneReads &reads) {
    std::ostringstream out;
    out << reads.scene << '/' << reads.program_slot << ':';
    for (int i = 0; i < reads.count; ++i) {
        const ControllerRead &r = reads.reads[i];
        out << ' ' << r.controller << '(' << r.fallback << ')';
        if (r.touched) out << '=' << r.value;
        out << '>' << std::hex << r.slots << std::dec;
    }
    return out.str();
}

TEST(SceneReads, ControllersDefaultsAndSlotsComeFromTheScripts) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 13, 127);
    bank.values[8] = 0.77f; // stored, untouched: the scan must leave it
    for (int k = 0; k < ParameterCount; ++k) ParameterBlock[k] = k + 0.5f;
    // Scene 8 segment 1: 8, 9, 12, 13 into slots 8 to 11, then four more into 2, 5, 14, 15.
    EXPECT_EQ(rows(scan(102.0f, bank)), "8/6: 8(0.36)>100 9(0.47)>200 12(0.43)>400 13(0.01)=1>800 "
                                        "2(0.46)>4 3(0.32)>20 4(0.51)>4000 5(0)>8000");
    // Segment 6 ramps slot 11 from controller 13; segment 8 reads none of the mix.
    EXPECT_EQ(rows(scan(121.0f, bank)), "8/6: 8(0.09)>100 9(0)>200 12(0.34)>400 13(0)=1>800");
    EXPECT_EQ(rows(scan(128.0f, bank)), "8/6: 3(0.2)>20 4(0.66)>4000 5(0.8)>8000");
    EXPECT_EQ(rows(scan(62.0f, bank)), "4/4: 2(0.36)>10 3(0.39)>20 4(0.43)>40 5(0.01)>80");
    EXPECT_EQ(rows(scan(40.0f, bank)), "2/7:");
    for (int k = 0; k < ParameterCount; ++k) EXPECT_EQ(ParameterBlock[k], k + 0.5f);
    EXPECT_EQ(bank.values[8], 0.77f);
    EXPECT_EQ(SceneDraw.draw_pass, SceneDrawGl.draw_pass);
}

TEST(SceneReads, UndoLeavesTheScenesControllersOutOfTheExport) {
    TuningBank bank(TuningBank::no_devices);
    for (unsigned char c : {2, 6, 13, 40}) bank.receive(0xB0, c, 127);
    char line[64];
    // Segment 7 reads 8, 9, 12 and 13 only; the scene's other segments read 2 to 5.
    untouch_scene_reads(125.0f, bank);
    EXPECT_STREQ((format_tuned_values(bank, line, sizeof line), line), "6:1.00(127) 40:1.00(127) ");
    untouch_all(bank);
    EXPECT_EQ(format_tuned_values(bank, line, sizeof line), 0u);
}

TEST(OverlayText, StateFrameTimesAndOneRowPerRead) {
    TuningBank bank(TuningBank::no_devices);
    bank.receive(0xB0, 13, 127);
    const SceneReads reads = scan(102.0f, bank);
    const OverlayView view{102350, 102.167f, true, true, 101183, 151000, {60, 12.5f, 31.25f},
                           4,      &reads};
    char text[OverlayTextSize];
    format_overlay_text(view, text, sizeof text);
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 8u + 8u);
    for (const std::string &line : lines) EXPECT_LE(line.size(), OverlayColumns) << line;
    EXPECT_EQ(lines[0], "scene 8  ball8.shader");
    EXPECT_EQ(lines[3] + lines[4], "PAUSEDlooping 101.183 - 151.000 s");
    EXPECT_EQ(lines[6], "preview 1/4 (S)");
    EXPECT_EQ(lines[11], " 13   0.010   11  1.000 touched");
    EXPECT_EQ(format_overlay_text(view, text, 23), lines[0].size()); // whole lines only
}

// What the next frame relies on, as the GL reports it.
std::vector<float> gl_state() {
    std::vector<float> state;
    for (GLenum cap : {GL_CULL_FACE, GL_BLEND, GL_DEPTH_TEST, GL_TEXTURE_2D, GL_VERTEX_ARRAY})
        state.push_back(glIsEnabled(cap));
    for (GLenum name :
         {GL_VIEWPORT, GL_MATRIX_MODE, GL_CURRENT_PROGRAM, GL_TEXTURE_BINDING_2D, GL_BLEND_SRC,
          GL_BLEND_DST, GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX, GL_CURRENT_COLOR}) {
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
    const Pixels picture = offscreen_pixels();
    Pixels before(WindowWidth * WindowHeight * 4), after(before.size());
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, before.data());

    std::string text = "scene 8";
    for (int i = 0; i < 16; ++i) text += "\n 13   0.010   11  1.000 touched";
    draw_overlay_text(text.c_str()); // down to about row 170 of 576: inside the copied region
    EXPECT_EQ(gl_state(), state);
    EXPECT_TRUE(offscreen_pixels() == picture);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, after.data());
    int changed_in_region = 0, changed_right = 0;
    for (std::size_t at = 0; at < before.size(); ++at) {
        if (before[at] == after[at]) continue;
        const std::size_t pixel = at / 4, x = pixel % WindowWidth, y = pixel / WindowWidth;
        changed_in_region += y < OffscreenHeight;
        changed_right += x >= std::size_t(WindowWidth / 2);
    }
    EXPECT_GT(changed_in_region, 1000);
    EXPECT_EQ(changed_right, 0);
    // The next frame's pass covers the region before copying it: nothing of the text gets in.
    scene_pass(SceneProgramTable[0]);
    EXPECT_TRUE(offscreen_pixels() == picture);
    EXPECT_EQ(overlay_scale(576) * 10 + overlay_scale(1080), 23);
}

} // namespace
