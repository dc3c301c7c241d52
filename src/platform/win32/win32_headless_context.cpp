// A hidden window's WGL context on Win32, for tools and tests.
//   [x] the demo's pixel format; the window is never shown
//   [ ] no offscreen pbuffer: a desktop (or Wine's X display) must exist
#include "platform/headless_context.h"
#include "platform/window.h"
#include "platform/win32/win32_internals.h"

static const char HeadlessClassName[] = "ox_headless";
static HWND HeadlessWindow = nullptr;
static HDC HeadlessDeviceContext = nullptr;
static HGLRC HeadlessContext = nullptr;
static const char *HeadlessError = "";

int headless_context_init(int width, int height) {
    WNDCLASSA window_class = {};
    window_class.style = CS_OWNDC;
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = HeadlessClassName;
    HeadlessError = "cannot register the window class";
    if (!RegisterClassA(&window_class)) return 0;
    HeadlessWindow = CreateWindowExA(0, HeadlessClassName, "avada kedabra!", WS_POPUP, 0, 0, width,
                                     height, nullptr, nullptr, window_class.hInstance, nullptr);
    HeadlessError = "cannot make the hidden window";
    if (!HeadlessWindow) return 0;
    HeadlessDeviceContext = GetDC(HeadlessWindow);
    if (!HeadlessDeviceContext) return 0;
    HeadlessError = "no pixel format for OpenGL";
    int format = ChoosePixelFormat(HeadlessDeviceContext, &PixelFormatRequest);
    if (!format || !SetPixelFormat(HeadlessDeviceContext, format, &PixelFormatRequest)) return 0;
    HeadlessError = "wglCreateContext failed";
    HeadlessContext = wglCreateContext(HeadlessDeviceContext);
    if (!HeadlessContext || !wglMakeCurrent(HeadlessDeviceContext, HeadlessContext)) return 0;
    MainWindowHandle = nullptr;
    WindowWidth = width;
    WindowHeight = height;
    return 1;
}

void headless_context_end() {
    if (HeadlessContext) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(HeadlessContext);
    }
    if (HeadlessDeviceContext) ReleaseDC(HeadlessWindow, HeadlessDeviceContext);
    if (HeadlessWindow) DestroyWindow(HeadlessWindow);
    UnregisterClassA(HeadlessClassName, GetModuleHandleA(nullptr));
    HeadlessContext = nullptr;
    HeadlessDeviceContext = nullptr;
    HeadlessWindow = nullptr;
}

const char *headless_context_error() {
    return HeadlessError;
}
