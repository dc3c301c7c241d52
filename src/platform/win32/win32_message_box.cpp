// Message boxes on Win32.
//   [x] MessageBoxA, owned by the window where one exists; modal, so the frames wait for it
#include "platform/message_box.h"
#include "platform/win32/win32_internals.h"

static_assert(MESSAGE_BOX_OK == MB_OK && MESSAGE_BOX_WARNING == MB_ICONWARNING,
              "the kinds are MessageBoxA's own flags");

void (*MessageBoxHook)(void *owner, const char *text, const char *caption, int kind) = nullptr;

void message_box(void *owner, const char *text, const char *caption, int kind) {
    if (MessageBoxHook) {
        MessageBoxHook(owner, text, caption, kind);
        return;
    }
    MessageBoxA(static_cast<HWND>(owner), text, caption, static_cast<UINT>(kind));
}
