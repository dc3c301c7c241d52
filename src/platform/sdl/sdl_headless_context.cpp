// A hidden window's OpenGL context on SDL2, for tools and tests.
//   [x] works with no display through SDL's offscreen driver (Mesa llvmpipe)
//   [x] same pixel format and context version as the demo's window
#include "platform/headless_context.h"
#include "platform/window.h"

#include "platform/sdl/sdl_gl_attributes.h"

#include <SDL.h>
#include <cstdlib>

static SDL_Window *HeadlessWindow = nullptr;
static SDL_GLContext HeadlessContext = nullptr;

int headless_context_init(int width, int height) {
    // With no display, SDL's offscreen driver gives a context without any window system.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    sdl_request_demo_gl_context();
    HeadlessWindow = SDL_CreateWindow("avada kedabra!", 0, 0, width, height,
                                      SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!HeadlessWindow) return 0;
    HeadlessContext = SDL_GL_CreateContext(HeadlessWindow);
    if (!HeadlessContext || SDL_GL_MakeCurrent(HeadlessWindow, HeadlessContext) != 0) return 0;
    MainWindowHandle = nullptr;
    SDL_GL_GetDrawableSize(HeadlessWindow, &WindowWidth, &WindowHeight);
    return 1;
}

void headless_context_end() {
    if (HeadlessContext) SDL_GL_DeleteContext(HeadlessContext);
    if (HeadlessWindow) SDL_DestroyWindow(HeadlessWindow);
    HeadlessContext = nullptr;
    HeadlessWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

const char *headless_context_error() {
    return SDL_GetError();
}
