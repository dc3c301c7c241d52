// The main loop in the browser: one pass per animation frame.
//   [x] after the last pass: finish, then the process's exit (the tuning bank exports its line)
//   [x] never returns, so the page keeps its state between frames
//   [x] a lost WebGL context ends the demo as Esc would (the tuned line is exported), and the page
//       says why it ended
#include "platform/frame_loop.h"

#include <cstdlib>
#include <emscripten.h>
#include <emscripten/html5.h>

static int (*Pass)() = nullptr;
static void (*Finish)() = nullptr;

EM_JS(void, web_context_lost, (), { Module.webPage.contextLost(); });

static void frame() {
    const bool lost = emscripten_is_webgl_context_lost(emscripten_webgl_get_current_context());
    if (lost) web_context_lost();
    if (!lost && Pass()) return;
    emscripten_cancel_main_loop();
    Finish();
    std::exit(0);
}

void frame_loop_run(int (*pass)(), void (*finish)()) {
    Pass = pass;
    Finish = finish;
    emscripten_set_main_loop(frame, 0, 1);
}
