#include "gfx/data_dir.h"

#include <cstdio>
#include <cstring>

const char MusicFileName[] = "tune.mp3";
static const char DefaultDataDir[] = "data";
static char DataDir[DataDirMax + 1] = "data";

bool data_dir_set(const char *dir, char *reason, std::size_t reason_size) {
    if (!dir || !*dir) dir = DefaultDataDir;
    const std::size_t length = std::strlen(dir);
    if (length > DataDirMax) {
        std::snprintf(reason, reason_size,
                      "--data: the folder name is %zu characters long, more than the %zu it "
                      "may have",
                      length, DataDirMax);
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
