// Replacing a small file whole: a reader, or the file left after a crash, holds the old contents or
// the new ones, never a part of them.
#pragma once
#include <cstddef>
#include <string>

// Writes the bytes to a new file in path's folder, flushes it to the disk and renames it over path
// (which need not exist yet). Where path is a symbolic link, the file it leads to is the one
// replaced, and on POSIX a file keeps its mode. True on success; on failure false with path
// untouched, no temporary file left behind, and the reason in error.
bool file_replace(const char *path, const char *bytes, std::size_t size, std::string &error);
