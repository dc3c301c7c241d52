// Who calls the main loop's passes: the program itself, or a browser between its repaints.
#pragma once

// Runs pass(context) once per frame until it returns 0, then finish(context) once. Natively a
// plain loop that returns after finish; in the browser each pass is a frame callback and this
// never returns (the page lives on, and the process ends after finish), so the context must not
// live on the caller's stack.
void frame_loop_run(int (*pass)(void *context), void (*finish)(void *context), void *context);

#if !defined(__EMSCRIPTEN__)
inline void frame_loop_run(int (*pass)(void *context), void (*finish)(void *context),
                           void *context) {
    while (pass(context)) {
    }
    finish(context);
}
#endif
