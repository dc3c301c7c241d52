// file_replace on Win32: the file holds the new bytes whole, a user's file that bears a temporary
// file's likely name is never opened or removed, no temporary file stays, and a failure names the
// file.
#include "check.h"
#include "platform/file_replace.h"
#include "platform/win32/win32_internals.h"

#include <fstream>
#include <iterator>
#include <string>

static std::string read_whole(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

static int files_in(const std::string &folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    do count += found.cFileName[0] != '.';
    while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

void file_replace_checks() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "file-replace-checks";
    const std::string path = folder + "\\tuning.txt", users = path + ".tmp";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::ofstream(users) << "the user's";
    std::string error;
    CHECK(file_replace(path.c_str(), "first", 5, error));
    CHECK(file_replace(path.c_str(), "second", 6, error));
    CHECK(read_whole(path) == "second");
    CHECK(read_whole(users) == "the user's");
    CHECK(files_in(folder) == 2);

    const std::string lost = folder + "\\missing\\tuning.txt";
    CHECK(!file_replace(lost.c_str(), "x", 1, error));
    CHECK(error.rfind("cannot create a file beside " + lost + ": ", 0) == 0);
    DeleteFileA(path.c_str());
    DeleteFileA(users.c_str());
    RemoveDirectoryA(folder.c_str());
}
