#include "gfx/data_dir.h"

const char MusicFileName[] = "tune.mp3";
static const char DefaultDataDir[] = "data";
static std::string DataDir = DefaultDataDir;

void data_dir_set(const char *dir) {
    DataDir = dir && *dir ? dir : DefaultDataDir;
}

const char *data_dir() {
    return DataDir.c_str();
}

std::string data_file(const std::string &dir, const char *name) {
    if (dir.empty() || dir.back() == '/' || dir.back() == '\\') return dir + name;
    return dir + '/' + name;
}

std::string data_path(const char *name) {
    return data_file(DataDir, name);
}
