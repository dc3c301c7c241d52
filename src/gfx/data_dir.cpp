#include "gfx/data_dir.h"

#include <cstdio>
#include <cstring>

const char MusicFileName[] = "tune.mp3";
static const char DefaultDataDir[] = "data";
static char DataDir[DataDirMax + 1] = "data";

bool data_dir_set(const char *dir, std::string &reason) {
    if (!dir || !*dir) dir = DefaultDataDir;
    const std::size_t length = std::strlen(dir);
    if (length > DataDirMax) {
        reason = "--data: the folder name is " + std::to_string(length) +
                 " characters long, more than the " + std::to_string(DataDirMax) + " it may have";
        return false;
    }
    std::memcpy(DataDir, dir, length + 1);
    return true;
}

const char *data_dir() {
    return DataDir;
}

DataPath data_path(const char *name) {
    DataPath path;
    const std::size_t length = std::strlen(DataDir);
    const bool separated = DataDir[length - 1] == '/' || DataDir[length - 1] == '\\';
    std::snprintf(path.text, sizeof path.text, separated ? "%s%s" : "%s/%s", DataDir, name);
    return path;
}
