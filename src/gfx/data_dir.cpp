#include "gfx/data_dir.h"

#include <cstdio>
#include <cstring>

const char MusicFileName[] = "tune.mp3";
static const char DefaultDataDir[] = "data";
static char DataDir[DataDirMax + 1] = "data";
static char ShaderDir[DataDirMax + 1] = ""; // empty: the data folder

static bool set_folder(char (&folder)[DataDirMax + 1], const char *dir, const char *option,
                       std::string &reason) {
    const std::size_t length = std::strlen(dir);
    if (length > DataDirMax) {
        reason = std::string(option) + ": the folder name is " + std::to_string(length) +
                 " characters long, more than the " + std::to_string(DataDirMax) + " it may have";
        return false;
    }
    std::memcpy(folder, dir, length + 1);
    return true;
}

static DataPath path_in(const char *folder, const char *name) {
    DataPath path;
    const std::size_t length = std::strlen(folder);
    const bool separated = folder[length - 1] == '/' || folder[length - 1] == '\\';
    std::snprintf(path.text, sizeof path.text, separated ? "%s%s" : "%s/%s", folder, name);
    return path;
}

bool data_dir_set(const char *dir, std::string &reason) {
    return set_folder(DataDir, dir && *dir ? dir : DefaultDataDir, "--data", reason);
}

const char *data_dir() {
    return DataDir;
}

DataPath data_path(const char *name) {
    return path_in(DataDir, name);
}

bool shader_dir_set(const char *dir, std::string &reason) {
    return set_folder(ShaderDir, dir ? dir : "", "the shader folder", reason);
}

const char *shader_dir() {
    return *ShaderDir ? ShaderDir : DataDir;
}

DataPath shader_path(const char *name) {
    return path_in(shader_dir(), name);
}
