// The message queue on Win32; the window procedure runs inside dispatch.
//   [x] every message of the thread, WM_QUIT included, taken off with PM_REMOVE
//   [x] keys become characters (TranslateMessage) before the window procedure sees them
#include "platform/events.h"
#include "platform/win32/win32_internals.h"

#include <cstring>

static_assert(sizeof(MSG) <= sizeof(Message::native), "a MSG must fit a message");

int message_peek(Message *message) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return 0;
    message->quit = msg.message == WM_QUIT;
    std::memcpy(message->native, &msg, sizeof msg);
    return 1;
}

void message_dispatch(const Message *message) {
    MSG msg;
    std::memcpy(&msg, message->native, sizeof msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}
