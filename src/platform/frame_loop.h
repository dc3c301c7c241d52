// Who calls the main loop's passes: the program itself, or a browser between its repaints.
#pragma once

// Runs pass once per frame until it returns 0, then finish once. Natively a plain loop that
// returns after finish; in the browser each pass is a frame callback and this never returns (the
// page lives on, and the process ends after finish).
void frame_loop_run(int (*pass)(), void (*finish)());

#if !defined(__EMSCRIPTEN__)
inline void frame_loop_run(int (*pass)(), void (*finish)()) {
    while (pass()) {
    }
    finish();
}
#endif
