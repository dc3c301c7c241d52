// The main loop in the browser: one pass per animation frame.
//   [x] after the last pass: finish, then the process's exit (the tuning bank exports its line)
//   [x] never returns, so the page keeps its state between frames
//   [x] a lost WebGL context ends the demo as Esc would (the tuned line is exported), and the page
//       says why it ended
//   [x] the loop's own record travels with the frame callback, no file-scope state
#include "platform/frame_loop.h"

#include <cstdlib>
#include <emscripten.h>
#include <emscripten/html5.h>

namespace {
struct FrameLoop {
    int (*pass)(void *);
    void (*finish)(void *);
    void *context;
};
} // namespace

EM_JS(void, web_context_lost, (), { Module.webPage.contextLost(); });

static void frame(void *record) {
    const FrameLoop loop = *static_cast<FrameLoop *>(record);
    const bool lost = emscripten_is_webgl_context_lost(emscripten_webgl_get_current_context());
    if (lost) web_context_lost();
    if (!lost && loop.pass(loop.context)) return;
    emscripten_cancel_main_loop();
    delete static_cast<FrameLoop *>(record);
    loop.finish(loop.context);
    std::exit(0);
}

void frame_loop_run(int (*pass)(void *context), void (*finish)(void *context), void *context) {
    emscripten_set_main_loop_arg(frame, new FrameLoop{pass, finish, context}, 0, 1);
}
