// The main loop in the browser: one pass per animation frame.
//   [x] after the last pass: finish, then the process's exit (the tuning bank exports its line)
//   [x] never returns, so the page keeps its state between frames
#include "platform/frame_loop.h"

#include <cstdlib>
#include <emscripten.h>

static int (*Pass)() = nullptr;
static void (*Finish)() = nullptr;

static void frame() {
    if (Pass()) return;
    emscripten_cancel_main_loop();
    Finish();
    std::exit(0);
}

void frame_loop_run(int (*pass)(), void (*finish)()) {
    Pass = pass;
    Finish = finish;
    emscripten_set_main_loop(frame, 0, 1);
}
