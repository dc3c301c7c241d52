// Window, WGL context and window procedure on Win32.
//   [x] fullscreen: a maximised popup over the desktop at its current resolution (mode unchanged)
//   [x] windowed: client area exactly 1024 x 576, outer rectangle centred on the primary screen
//   [x] double-buffered RGBA, 24 colour bits; no alpha, depth, stencil or accumulation
//   [x] screen saver and monitor power-down refused; Esc, close and destroy post the quit request
//   [x] y, Y and p rebuild the programs and still reach DefWindowProcA
//   [x] the keys of keys.h, first presses only, to WindowKeyHook with its context when it is set
//   [x] the cursor hidden unless the studio shows it
//   [x] window_end releases exactly what exists, always unregisters the class
//   [ ] no resize handling: the sizes are taken once at creation
#include "platform/window.h"
#include "platform/win32/win32_internals.h"

static PIXELFORMATDESCRIPTOR pixel_format_request() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 24;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}
const PIXELFORMATDESCRIPTOR PixelFormatRequest = pixel_format_request();
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the pixel format request is 40 bytes");

struct WindowMode {
    DWORD ex_style;
    DWORD style;
};
static constexpr WindowMode FullscreenMode = {
    WS_EX_APPWINDOW, WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE};
static constexpr WindowMode WindowedMode = {WS_EX_APPWINDOW | WS_EX_WINDOWEDGE,
                                            WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                                WS_CAPTION | WS_SYSMENU};
static_assert(FullscreenMode.ex_style == 0x40000 && FullscreenMode.style == 0x97000000, "");
static_assert(WindowedMode.ex_style == 0x40100 && WindowedMode.style == 0x16C80000, "");

void *window_module_instance() {
    return GetModuleHandleA(nullptr);
}

WindowMessageAction window_message_action(UINT message, WPARAM wparam) {
    switch (message) {
    case WM_SYSCOMMAND:
        // Compared whole: a value with its low four bits set is some other command.
        if (wparam == SC_SCREENSAVE || wparam == SC_MONITORPOWER)
            return WindowMessageAction::refuse;
        return WindowMessageAction::pass;
    case WM_DESTROY:
    case WM_CLOSE: // only asks: the window lives until window_end
        return WindowMessageAction::quit;
    case WM_KEYDOWN:
        return wparam == VK_ESCAPE ? WindowMessageAction::quit : WindowMessageAction::pass;
    case WM_CHAR:
        if (wparam == VK_ESCAPE) return WindowMessageAction::quit;
        if (wparam == 'y' || wparam == 'Y' || wparam == 'p') return WindowMessageAction::rebuild;
        return WindowMessageAction::pass;
    default:
        return WindowMessageAction::pass;
    }
}

static int studio_key_for_virtual_key(WPARAM key) {
    if (key >= '1' && key <= '9') return KEY_DIGIT_1 + static_cast<int>(key - '1');
    switch (key) {
    case VK_SPACE:
        return KEY_SPACE;
    case VK_LEFT:
        return KEY_LEFT;
    case VK_RIGHT:
        return KEY_RIGHT;
    case VK_PRIOR:
        return KEY_PAGE_UP;
    case VK_NEXT:
        return KEY_PAGE_DOWN;
    case VK_HOME:
        return KEY_HOME;
    case VK_TAB:
        return KEY_TAB;
    case 'L':
        return KEY_L;
    case 'R':
        return KEY_R;
    case 'S':
        return KEY_S;
    default:
        return KEY_NONE;
    }
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // Bit 30: the key was already down, an auto-repeat.
    if (message == WM_KEYDOWN && WindowKeyHook.press && !(lparam & (1 << 30))) {
        int key = studio_key_for_virtual_key(wparam);
        if (key != KEY_NONE)
            WindowKeyHook.press(WindowKeyHook.context, key, GetKeyState(VK_SHIFT) < 0);
    }
    switch (window_message_action(message, wparam)) {
    case WindowMessageAction::refuse:
        return 0;
    case WindowMessageAction::quit:
        PostQuitMessage(0);
        return 0;
    case WindowMessageAction::rebuild:
        if (WindowRebuildHook) WindowRebuildHook();
        break;
    case WindowMessageAction::pass:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int window_init(WindowRecord *record) {
    HINSTANCE instance = static_cast<HINSTANCE>(record->instance);
    WNDCLASSA window_class = {};
    window_class.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = record->class_name;
    if (!RegisterClassA(&window_class)) return 0;

    RECT rect = {0, 0, 1024, 576};
    const WindowMode &mode = record->fullscreen ? FullscreenMode : WindowedMode;
    if (!WindowCursorShown) ShowCursor(FALSE);
    if (!record->fullscreen) {
        WindowWidth = 1024;
        WindowHeight = 576;
        AdjustWindowRect(&rect, mode.style, FALSE);
    }

    // Centres the outer rectangle; the shift keeps the sign when the window outgrows the screen.
    HWND window = CreateWindowExA(mode.ex_style, record->class_name, "avada kedabra!", mode.style,
                                  (GetSystemMetrics(SM_CXSCREEN) - rect.right + rect.left) >> 1,
                                  (GetSystemMetrics(SM_CYSCREEN) - rect.bottom + rect.top) >> 1,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  instance, nullptr);
    record->window = window;
    if (record->fullscreen) {
        // The maximised size, not the creation size: whatever the desktop's resolution is.
        RECT outer = {};
        GetWindowRect(window, &outer);
        WindowWidth = outer.right - outer.left;
        WindowHeight = outer.bottom - outer.top;
    }
    if (!window) return 0;
    MainWindowHandle = window;

    HDC device_context = GetDC(window);
    record->device_context = device_context;
    if (!device_context) return 0;
    int format = ChoosePixelFormat(device_context, &PixelFormatRequest);
    if (!format) return 0;
    if (!SetPixelFormat(device_context, format, &PixelFormatRequest)) return 0;
    HGLRC rendering_context = wglCreateContext(device_context);
    record->rendering_context = rendering_context;
    if (!rendering_context) return 0;
    if (!wglMakeCurrent(device_context, rendering_context)) return 0;
    return 1;
}

void window_end(WindowRecord *record) {
    HWND window = static_cast<HWND>(record->window);
    if (record->rendering_context) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(record->rendering_context));
    }
    if (record->device_context) ReleaseDC(window, static_cast<HDC>(record->device_context));
    if (window) DestroyWindow(window);
    UnregisterClassA(record->class_name, static_cast<HINSTANCE>(record->instance));
    if (record->fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        if (!WindowCursorShown) ShowCursor(TRUE);
    }
}

void window_swap(WindowRecord *record) {
    SwapBuffers(static_cast<HDC>(record->device_context));
}
