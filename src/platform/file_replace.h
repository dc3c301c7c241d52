// Replacing a small file whole: a reader, or the file left after a crash, holds the old contents or
// the new ones, never a part of them.
#pragma once
#include <cstddef>

// Writes the bytes to a new file in path's folder, flushes it to the disk and renames it over path
// (which need not exist yet). Returns 1 on success; on failure 0 with path untouched, no temporary
// file left behind, and the reason in error (cut to error_size bytes with the terminator).
int file_replace(const char *path, const char *bytes, std::size_t size, char *error,
                 std::size_t error_size);
