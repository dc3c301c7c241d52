// copy_to_clipboard read back through the clipboard itself, inside the same process: Wine serves
// the clipboard from the process that set it.
#include "check.h"
#include "platform/clipboard.h"
#include "platform/win32/win32_internals.h"

#include <string>

static std::string clipboard_text() {
    std::string text = "<no text>";
    if (!OpenClipboard(nullptr)) return "<not opened>";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        if (const char *bytes = static_cast<const char *>(GlobalLock(block))) {
            text = bytes;
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return text;
}

// Opens the clipboard for a window of its own (Wine lets two owner-less openers share it).
static DWORD WINAPI hold_clipboard(void *events) {
    HANDLE *pair = static_cast<HANDLE *>(events);
    HWND owner = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    bool opened = owner && OpenClipboard(owner);
    SetEvent(pair[0]);
    if (opened) {
        WaitForSingleObject(pair[1], 10000);
        CloseClipboard();
    }
    if (owner) DestroyWindow(owner);
    return opened ? 0 : 1;
}

void clipboard_checks() {
    const std::string line = "2:0.50(64) 13:1.00(127) ";
    CHECK(copy_to_clipboard(line.c_str()));
    CHECK(clipboard_text() == line);

    // Empty text: true, and what the clipboard held stays.
    CHECK(copy_to_clipboard(""));
    CHECK(clipboard_text() == line);

    // The longest line the export can make: 128 entries of 14 characters.
    std::string longest;
    for (int c = 0; c < 128; ++c) longest += std::to_string(c) + ":1.00(127) ";
    CHECK(copy_to_clipboard(longest.c_str()));
    CHECK(clipboard_text() == longest);

    // Another thread holds the clipboard open: the text cannot get there, and that is reported.
    HANDLE events[2] = {CreateEventA(nullptr, TRUE, FALSE, nullptr),
                        CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE holder = CreateThread(nullptr, 0, hold_clipboard, events, 0, nullptr);
    WaitForSingleObject(events[0], 10000);
    CHECK(!copy_to_clipboard("never seen"));
    SetEvent(events[1]);
    WaitForSingleObject(holder, 10000);
    DWORD held = 1;
    GetExitCodeThread(holder, &held);
    CHECK(held == 0); // otherwise the refusal above proves nothing
    CloseHandle(holder);
    CloseHandle(events[0]);
    CloseHandle(events[1]);
    CHECK(clipboard_text() == longest);
}
