// The clipboard on Win32.
//   [x] plain text (CF_TEXT) in a movable global block, no owner window (it may be gone by then)
//   [x] empty text: the clipboard keeps what it held
//   [x] false whenever the text did not get there; the block is freed unless the clipboard took it
#include "platform/clipboard.h"
#include "platform/win32/win32_internals.h"

#include <cstring>

bool copy_to_clipboard(const char *text) {
    if (!text || !*text) return true;
    SIZE_T size = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return false;
    void *bytes = GlobalLock(block);
    if (!bytes) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text, size);
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!taken) GlobalFree(block);
    return taken;
}
