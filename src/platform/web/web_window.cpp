// The window and its OpenGL context in the browser: the page's canvas and a WebGL 1 context.
//   [x] the canvas is the size the page set before the start (the screen's size in CSS pixels, as
//       the native demo takes the screen's logical size, or the test's frame size); the drawing
//       area is the drawing buffer's, which a browser may make smaller than the canvas
//   [x] fullscreen is the page's, asked for at the start click
//   [x] no alpha, depth, stencil or multisampling, as the native pixel format
//   [x] the derivatives extension for the shaders that use fwidth
//   [x] window_end releases the context; swapping is the browser's, after each frame callback
//   [ ] no resize handling: the sizes are taken once at creation, as natively
#include "platform/window.h"

#include <emscripten/html5.h>

static const char Canvas[] = "#canvas";

void *window_module_instance() {
    return nullptr;
}

int window_init(WindowRecord *record) {
    record->window = const_cast<char *>(Canvas);
    MainWindowHandle = record->window;
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = 0;
    attributes.depth = 0;
    attributes.stencil = 0;
    attributes.antialias = 0;
    attributes.majorVersion = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(Canvas, &attributes);
    if (context <= 0) return 0;
    record->rendering_context = reinterpret_cast<void *>(context);
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) return 0;
    if (emscripten_webgl_get_drawing_buffer_size(context, &WindowWidth, &WindowHeight) !=
        EMSCRIPTEN_RESULT_SUCCESS)
        return 0;
    emscripten_webgl_enable_extension(context, "OES_standard_derivatives");
    return 1;
}

void window_end(WindowRecord *record) {
    if (record->rendering_context)
        emscripten_webgl_destroy_context(
            reinterpret_cast<EMSCRIPTEN_WEBGL_CONTEXT_HANDLE>(record->rendering_context));
}

void window_swap(WindowRecord *) {}
