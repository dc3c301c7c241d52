// Where the demo's files are: the shaders, the credits image and the music live in one folder,
// "data" relative to the working directory unless an installed copy names another.
#pragma once
#include <string>

// The music's file name inside the data folder.
extern const char MusicFileName[];

// Every later data_path names a file in `dir`; nullptr or "" restores the default.
void data_dir_set(const char *dir);
const char *data_dir();
// `name` inside `dir`, or inside the current data folder.
std::string data_file(const std::string &dir, const char *name);
std::string data_path(const char *name);
