// The window procedure's decisions, and window_init / window_end on a live window.
#include "check.h"
#include "platform/win32/win32_internals.h"
#include "platform/window.h"

static int Rebuilds = 0;
static void count_rebuild() {
    ++Rebuilds;
}

static bool quit_request_queued() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// The cursor's display counter, left as it was found.
static int cursor_counter() {
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// What a live window cannot show: whether DefWindowProcA was reached or not.
static void decision_table() {
    using A = WindowMessageAction;
    CHECK(window_message_action(WM_SYSCOMMAND, SC_SCREENSAVE) == A::refuse);
    CHECK(window_message_action(WM_SYSCOMMAND, SC_MONITORPOWER) == A::refuse);
    // Compared whole: the low four bits make another command, which DefWindowProcA gets.
    CHECK(window_message_action(WM_SYSCOMMAND, SC_SCREENSAVE | 1) == A::pass);
    CHECK(window_message_action(WM_SYSCOMMAND, SC_MONITORPOWER | 2) == A::pass);
    CHECK(window_message_action(WM_SYSCOMMAND, SC_CLOSE) == A::pass); // Alt+F4
    // The key Y arrives as key-down 'Y' as well: only its character rebuilds.
    CHECK(window_message_action(WM_KEYDOWN, 'Y') == A::pass);
    CHECK(window_message_action(WM_KEYUP, VK_ESCAPE) == A::pass);
    CHECK(window_message_action(WM_SYSCHAR, 'y') == A::pass);
}

static void windowed_window() {
    WindowRecord record = {window_module_instance(), nullptr, nullptr, nullptr, 0, "ox_"};
    int cursor_before = cursor_counter();
    WindowRebuildHook = count_rebuild;
    CHECK(window_init(&record) == 1);
    HWND window = static_cast<HWND>(record.window);
    CHECK(window != nullptr && MainWindowHandle == window);
    CHECK(wglGetCurrentContext() == record.rendering_context && record.rendering_context);

    RECT client = {}, outer = {};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    CHECK(WindowWidth == 1024 && WindowHeight == 576);
    CHECK(client.right == 1024 && client.bottom == 576);
    CHECK(outer.left == (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) >> 1);
    CHECK(outer.top == (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) >> 1);
    CHECK(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_CAPTION);

    // Typed characters rebuild and still reach DefWindowProcA; capital P does not rebuild.
    SendMessageA(window, WM_CHAR, 'y', 0);
    SendMessageA(window, WM_CHAR, 'Y', 0);
    SendMessageA(window, WM_CHAR, 'p', 0);
    SendMessageA(window, WM_CHAR, 'P', 0);
    CHECK(Rebuilds == 3);
    CHECK(!quit_request_queued());

    // A close request only asks: the window lives on until window_end.
    CHECK(SendMessageA(window, WM_CLOSE, 0, 0) == 0);
    CHECK(IsWindow(window));
    CHECK(quit_request_queued());
    SendMessageA(window, WM_CHAR, 27, 0);
    CHECK(quit_request_queued());

    window_end(&record);
    CHECK(!IsWindow(window));
    CHECK(wglGetCurrentContext() == nullptr);
    WNDCLASSA unregistered;
    CHECK(!GetClassInfoA(static_cast<HINSTANCE>(record.instance), "ox_", &unregistered));
    CHECK(quit_request_queued()); // from the WM_DESTROY that window_end caused
    // Windowed, the cursor stays hidden until the process ends.
    CHECK(cursor_counter() == cursor_before - 1);
    ShowCursor(TRUE);
    WindowRebuildHook = nullptr;
}

// Where and how big it is, the demo's own run shows (demo_e2e.sh); here, the cursor.
static void fullscreen_window() {
    WindowRecord record = {window_module_instance(), nullptr, nullptr, nullptr, 1, "ox_"};
    int cursor_before = cursor_counter();
    CHECK(window_init(&record) == 1);
    CHECK(WindowWidth == GetSystemMetrics(SM_CXSCREEN));
    CHECK(cursor_counter() == cursor_before - 1);
    window_end(&record);
    CHECK(cursor_counter() == cursor_before); // shown again at teardown
    quit_request_queued();
}

static void failed_creation() {
    // The class name is taken: window_init fails at its first step with nothing created, and
    // window_end still unregisters the class.
    HINSTANCE instance = static_cast<HINSTANCE>(window_module_instance());
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = instance;
    taken.lpszClassName = "ox_";
    CHECK(RegisterClassA(&taken) != 0);
    WindowRecord record = {instance, nullptr, nullptr, nullptr, 0, "ox_"};
    int cursor_before = cursor_counter();
    CHECK(window_init(&record) == 0);
    CHECK(record.window == nullptr && record.device_context == nullptr);
    CHECK(cursor_counter() == cursor_before);
    window_end(&record);
    WNDCLASSA unregistered;
    CHECK(!GetClassInfoA(instance, "ox_", &unregistered));
}

void window_checks() {
    decision_table();
    windowed_window();
    fullscreen_window();
    failed_creation();
}
