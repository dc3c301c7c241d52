// Where the demo's files are: the shaders, the credits image and the music live in one folder,
// "data" relative to the working directory unless an installed copy names another. The shaders
// alone may come from a folder of their own (a link's edits, links/ID/).
#pragma once
#include <cstddef>
#include <string>

// The music's file name inside the data folder.
extern const char MusicFileName[];

// A file's path in the data folder, built in place: a rebuild reads nine shader files and must not
// allocate for each.
constexpr std::size_t DataPathSize = 4096;  // with the terminator
constexpr std::size_t DataFileNameMax = 31; // the longest name the demo opens in the folder
constexpr std::size_t DataDirMax = DataPathSize - 2 - DataFileNameMax; // room for '/' and a name
struct DataPath {
    char text[DataPathSize];
};

// Every later data_path names a file in `dir`; nullptr or "" restores the default. A folder longer
// than DataDirMax is refused, never cut: false, the folder unchanged and the reason in `reason`.
bool data_dir_set(const char *dir, std::string &reason);
const char *data_dir();
// `name` (at most DataFileNameMax characters) inside the current data folder.
DataPath data_path(const char *name);

// The shaders' folder, as data_dir_set does it; nullptr or "": the data folder's shaders again.
bool shader_dir_set(const char *dir, std::string &reason);
// The folder the shaders are read from and watched in: the data folder unless one was set.
const char *shader_dir();
// A scene shader file `name` inside shader_dir().
DataPath shader_path(const char *name);
