// The one window and its OpenGL context.
#pragma once

#include "platform/keys.h"

// Handles are opaque to the core: each platform stores its own objects here.
struct WindowRecord {
    void *instance;          // module instance (Windows); unused elsewhere
    void *device_context;    // HDC (Windows); unused elsewhere
    void *rendering_context; // the OpenGL context
    void *window;            // the native window
    int fullscreen;          // constant of the build: 1 fullscreen over the desktop, 0 windowed
    char class_name[4];      // window class (Windows)
};

// Drawable size in pixels, written once by window_init.
extern int WindowWidth;
extern int WindowHeight;
// Owner of the shader error boxes; set as soon as the window exists.
extern void *MainWindowHandle;

// Nonzero on success. On failure the handles made so far stay in the record for window_end.
int window_init(WindowRecord *record);
// Releases exactly the handles that are nonzero; safe on a partly created record.
void window_end(WindowRecord *record);
void window_swap(WindowRecord *record);
// The module instance that the entry point stores in the record.
void *window_module_instance();

// 1 leaves the mouse cursor visible (the studio sets it before window_init); the demo hides it.
extern int WindowCursorShown;

// Called by the window procedure for the characters y, Y and p (set by the app to its build).
extern void (*WindowRebuildHook)();
