// Replacing a file whole (platform/file_replace.h) on Win32: a temporary file beside it,
// FlushFileBuffers, MoveFileExW over it (rename() does not replace an existing file on Windows).
//   [x] UTF-8 path, widened for the wide calls
//   [x] the temporary file lies in the same folder; the move writes through before returning
//   [x] its name is new (CREATE_NEW, another on a collision): a user's file is never reused
//   [x] any failure removes the temporary file and leaves the old file as it was
//   [ ] a reader holding the old file open without FILE_SHARE_DELETE makes the move fail
#include "platform/file_replace.h"
#include "platform/win32/win32_internals.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::wstring widen(const char *text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

bool fail(const char *step, const char *path, std::string &error) {
    const DWORD code = GetLastError();
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   reason, sizeof reason, nullptr);
    // The system's text ends with a line end.
    for (std::size_t n = std::strlen(reason);
         n > 0 && (reason[n - 1] == '\r' || reason[n - 1] == '\n');)
        reason[--n] = '\0';
    error = std::string("cannot ") + step + " " + path + ": " + reason + " (error " +
            std::to_string(static_cast<unsigned long>(code)) + ")";
    return false;
}

// A file of a new name beside target: CREATE_NEW never opens one that is there already.
HANDLE create_beside(const std::wstring &target, std::wstring &temporary) {
    std::random_device random;
    for (int tries = 0; tries < 100; ++tries) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
        temporary = target + widen(suffix);
        HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

bool file_replace(const char *path, const char *bytes, std::size_t size, std::string &error) {
    const std::wstring target = widen(path);
    std::wstring temporary;
    HANDLE file = create_beside(target, temporary);
    if (file == INVALID_HANDLE_VALUE) return fail("create a file beside", path, error);
    const char *step = nullptr;
    for (std::size_t done = 0; !step && done < size;) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(size - done < 1u << 20 ? size - done : 1u << 20);
        if (!WriteFile(file, bytes + done, chunk, &written, nullptr) || written == 0)
            step = "write";
        done += written;
    }
    if (!step && !FlushFileBuffers(file)) step = "flush";
    if (!CloseHandle(file) && !step) step = "close";
    if (!step && !MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        step = "rename a file over";
    if (!step) return true;
    const DWORD reason = GetLastError();
    DeleteFileW(temporary.c_str());
    SetLastError(reason);
    return fail(step, path, error);
}
