// Window and OpenGL context on SDL2.
//   [x] fullscreen over the desktop at its current resolution (the display mode is never changed)
//   [x] windowed: centred, drawable exactly 1024 x 576
//   [x] double-buffered RGB 8-8-8, no depth, stencil or alpha; compatibility context >= 2.0
//   [x] cursor hidden unless the studio shows it; screen saver and display power-down refused while running
//   [x] window_end releases exactly what exists
//   [ ] no resize handling: the sizes are taken once at creation
#include "platform/window.h"

#include "platform/sdl/sdl_gl_attributes.h"

#include <SDL.h>

int WindowWidth = 0;
int WindowHeight = 0;
void *MainWindowHandle = nullptr;
void (*WindowRebuildHook)() = nullptr;
void (*WindowKeyHook)(int, int) = nullptr;
int WindowCursorShown = 0;

void *window_module_instance() {
    return nullptr;
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
    if (record->fullscreen) SDL_GL_GetDrawableSize(window, &WindowWidth, &WindowHeight);
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
