// Console text on Win32, for a GUI program that may or may not have been started from a console.
//   [x] redirected standard handles first (a script's 2> or a pipe; Wine maps them to its own)
//   [x] else the console of the parent process, if it has one
//   [x] else a message box, so the usage or a reason is never lost (a note is dropped)
#include "platform/console.h"
#include "platform/message_box.h"
#include "platform/win32/win32_internals.h"

#include <cstring>

static bool write_all(HANDLE handle, const char *text) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    return WriteFile(handle, text, size, &written, nullptr) && written == size;
}

void console_write(const char *text, int kind) {
    const bool error = kind == CONSOLE_ERROR;
    if (write_all(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text)) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        const bool shown = write_all(console, text);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
        FreeConsole();
        if (shown) return;
    }
    if (kind == CONSOLE_NOTE) return;
    message_box(nullptr, text, "avada kedabra!", error ? MESSAGE_BOX_WARNING : MESSAGE_BOX_OK);
}
