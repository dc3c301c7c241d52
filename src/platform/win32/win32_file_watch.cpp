// The folder watch (platform/file_watch.h) on Win32 through ReadDirectoryChangesW, overlapped, its
// completion asked for without waiting.
//   [x] UTF-8 folder and file names (the wide calls underneath)
//   [x] writes, creations, removals, renames; a buffer overflow is reported as an empty name
//   [x] the folder can still be renamed or removed by others while watched
//   [ ] subfolders
#include "platform/file_watch.h"

const bool WatchedFilesOutlastTheRun = true;
#include "platform/win32/win32_internals.h"

#include <string>

namespace {

HANDLE Folder = INVALID_HANDLE_VALUE;
OVERLAPPED Pending;
// ReadDirectoryChangesW wants DWORD-aligned records; 64 KiB is its limit over a network share.
alignas(DWORD) char Records[64 * 1024];

constexpr DWORD Watched =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

bool ask() {
    Pending = OVERLAPPED{};
    return ReadDirectoryChangesW(Folder, Records, sizeof Records, FALSE, Watched, nullptr, &Pending,
                                 nullptr) != 0;
}

std::string narrow(const WCHAR *text, int length) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

int file_watch_start(const char *folder) {
    file_watch_stop();
    const int length = MultiByteToWideChar(CP_UTF8, 0, folder, -1, nullptr, 0);
    if (length <= 0) return 0;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, folder, -1, wide.data(), length);
    Folder = CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (Folder == INVALID_HANDLE_VALUE) return 0;
    if (!ask()) {
        file_watch_stop();
        return 0;
    }
    return 1;
}

int file_watch_poll(void (*changed)(const char *name, void *user), void *user) {
    if (Folder == INVALID_HANDLE_VALUE) return 0;
    DWORD size = 0;
    if (!GetOverlappedResult(Folder, &Pending, &size, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return 0;
        file_watch_stop(); // the folder went away: nothing more will come
        return 0;
    }
    int calls = 0;
    if (size == 0) { // more changes than the records hold
        changed("", user);
        ++calls;
    }
    for (DWORD at = 0; size > 0;) {
        const FILE_NOTIFY_INFORMATION *record =
            reinterpret_cast<const FILE_NOTIFY_INFORMATION *>(Records + at);
        const std::string name =
            narrow(record->FileName, static_cast<int>(record->FileNameLength / sizeof(WCHAR)));
        changed(name.c_str(), user);
        ++calls;
        if (record->NextEntryOffset == 0) break;
        at += record->NextEntryOffset;
    }
    if (!ask()) file_watch_stop();
    return calls;
}

void file_watch_stop() {
    if (Folder == INVALID_HANDLE_VALUE) return;
    CancelIo(Folder);
    DWORD ignored = 0;
    GetOverlappedResult(Folder, &Pending, &ignored, TRUE); // the records are ours again
    CloseHandle(Folder);
    Folder = INVALID_HANDLE_VALUE;
}
