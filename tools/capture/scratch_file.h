// Output files that appear whole or not at all: each is made under a name of this process's own
// beside where it belongs and renamed into place once complete, so a reader of the old file keeps
// it whole, no one meets half of the new one, and two runs on the same output never share a
// scratch file.
#pragma once
#include <string>

// A hidden name in path's folder with a token drawn once per process, keeping the extension
// (ffmpeg picks its format by it): "dir/v.mp4" -> "dir/.v.mp4.3f09c2aa.mp4".
std::string scratch_path(const std::string &path);

// Renames scratch over path (which need not exist). False with the reason, scratch removed.
bool put_in_place(const std::string &scratch, const std::string &path, std::string &error);
