// Window and OpenGL context on SDL2.
//   [x] fullscreen over the desktop at its current resolution (the display mode is never changed)
//   [x] windowed: centred, drawable exactly 1024 x 576
//   [x] double-buffered RGB 8-8-8, no depth, stencil or alpha; compatibility context >= 2.0
//   [x] cursor hidden unless the studio shows it
//   [x] screen saver and display power-down refused while running
//   [x] window_end releases exactly what exists
//   [x] Wayland: the sizes are read once the compositor has sized the full-screen surface
//   [ ] no resize handling: the sizes are taken once at creation
#include "platform/window.h"

#include "platform/sdl/sdl_gl_attributes.h"

#include <SDL.h>
#include <SDL_opengl.h>

void *window_module_instance() {
    return nullptr;
}

// A Wayland compositor sizes a full-screen surface in a configure that comes after the window is
// shown, some (cage) only once it has shown a first picture; until then the drawable keeps the
// size the window was created with. Shows a black picture and waits for the drawable to change (or
// to have the output's size already), a second at most.
static void wait_for_fullscreen_size(SDL_Window *window) {
    SDL_DisplayMode output;
    if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(window), &output) != 0) return;
    int first_w = 0, first_h = 0, w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &first_w, &first_h);
    auto clear = reinterpret_cast<void(APIENTRY *)(GLbitfield)>(SDL_GL_GetProcAddress("glClear"));
    if (clear) clear(GL_COLOR_BUFFER_BIT); // to the default clear colour, black
    SDL_GL_SwapWindow(window);
    const Uint32 deadline = SDL_GetTicks() + 1000;
    do {
        SDL_PumpEvents();
        SDL_GL_GetDrawableSize(window, &w, &h);
        if (w != first_w || h != first_h || (w == output.w && h == output.h)) return;
        SDL_Delay(5);
    } while (!SDL_TICKS_PASSED(SDL_GetTicks(), deadline));
}

int window_init(WindowRecord *record) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    // SDL falls back to drivers that show nothing when there is no display; a demo nobody can
    // see has failed to open its window.
    const char *driver = SDL_GetCurrentVideoDriver();
    if (!driver || !SDL_strcmp(driver, "offscreen") || !SDL_strcmp(driver, "dummy")) return 0;

    sdl_request_demo_gl_context();

    Uint32 flags = SDL_WINDOW_OPENGL;
    if (record->fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        // A compositor that draws no decorations (cage, for one) makes SDL 2.26 swap its shell for
        // libdecor's while the window is being shown; the window then stays unmapped and the
        // first swap waits forever. A borderless window asks for no decorations.
        if (!SDL_strcmp(driver, "wayland")) flags |= SDL_WINDOW_BORDERLESS;
    } else {
        WindowWidth = 1024;
        WindowHeight = 576;
    }
    if (!WindowCursorShown) SDL_ShowCursor(SDL_DISABLE);
    SDL_Window *window = SDL_CreateWindow("avada kedabra!", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, 1024, 576, flags);
    record->window = window;
    if (!window) return 0;
    MainWindowHandle = window;
    SDL_DisableScreenSaver();

    SDL_GLContext context = SDL_GL_CreateContext(window);
    record->rendering_context = context;
    if (!context) return 0;
    if (SDL_GL_MakeCurrent(window, context) != 0) return 0;
    if (record->fullscreen) {
        if (!SDL_strcmp(driver, "wayland")) wait_for_fullscreen_size(window);
        SDL_GL_GetDrawableSize(window, &WindowWidth, &WindowHeight);
    }
    return 1;
}

void window_end(WindowRecord *record) {
    if (record->rendering_context) {
        SDL_GL_MakeCurrent(static_cast<SDL_Window *>(record->window), nullptr);
        SDL_GL_DeleteContext(record->rendering_context);
    }
    if (record->window) SDL_DestroyWindow(static_cast<SDL_Window *>(record->window));
    if (record->fullscreen) SDL_ShowCursor(SDL_ENABLE);
    SDL_EnableScreenSaver();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void window_swap(WindowRecord *record) {
    SDL_GL_SwapWindow(static_cast<SDL_Window *>(record->window));
}
