// What the browser's page calls in the demo by name, beside main.
#include "app/demo_main.h"
#include "gfx/data_dir.h"
#include "gfx/gl_entry_points.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "platform/console.h"
#include "platform/window.h"
#include "timeline/demo_clock.h"
#include "timeline/frame_grid.h"
#include "timeline/scene_pass.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_preload.h"

#include <string>

// The data folder's files the page downloads before the start, by index; null past the last.
extern "C" const char *web_data_file(int index) {
    if (index >= 0 && index < SceneProgramCount) return SceneShaderFiles[index];
    if (index == SceneProgramCount) return CreditsImageFile;
    if (index == SceneProgramCount + 1) return MusicFileName;
    return nullptr;
}

// How many of the ten programs (nine scenes and the post program) are linked.
extern "C" int web_programs_linked() {
    std::string missing;
    if (!GlToolEntryPoints[GL_TOOL_GET_PROGRAMIV]) fetch_gl_tool_entry_points(missing);
    if (!GlToolEntryPoints[GL_TOOL_GET_PROGRAMIV]) return 0;
    int linked = 0;
    auto count = [&](GLuint program) {
        GLint status = 0;
        if (program)
            gl2::tool<PFNGLGETPROGRAMIVPROC>(GL_TOOL_GET_PROGRAMIV, program, GL_LINK_STATUS,
                                             &status);
        linked += status != 0;
    };
    for (GLuint program : SceneProgramTable) count(program);
    count(PostProgram);
    return linked;
}

// The single-frame hook behind ?at=: one frame at a loop time with the controllers of a tuning
// line, as demo-capture --at --tuning renders it (the clock replayed over the 60 fps grid without
// drawing, then that frame drawn), so the page's picture can be compared with the native one.
// Called instead of main, with no music; each call starts from an untouched bank, then preloads the
// line as the demo's --tuning does. 0, with the reason on standard error, when the window cannot
// open or the line is malformed (nothing applied).
extern "C" int web_frame_at(double seconds, const char *tuning) {
    static WindowRecord window = {nullptr, nullptr, nullptr, nullptr, 0, "ox_"};
    for (int controller = 0; controller < ControllerCount; ++controller) Tuning.untouch(controller);
    std::string error;
    if (!preload_tuning_line(Tuning, tuning, error)) {
        console_write(("demo: " + error + "\n").c_str(), CONSOLE_ERROR);
        return 0;
    }
    if (!window.rendering_context && !demo_open(&window)) return 0;
    const long last = frame_nearest(seconds, 60.0);
    demo_clock_reset();
    SceneDraw = SceneDrawNothing;
    for (long k = 0; k < last; ++k) render_frame(frame_time_ms(k, 60.0));
    SceneDraw = SceneDrawGl;
    render_frame(frame_time_ms(last, 60.0));
    return 1;
}
