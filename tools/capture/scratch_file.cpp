#include "scratch_file.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

const std::string &process_token() {
    static const std::string token = [] {
        char text[9];
        std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(std::random_device{}()));
        return std::string(text);
    }();
    return token;
}

} // namespace

std::string scratch_path(const std::string &path) {
    const fs::path final_path(path);
    const std::string name = "." + final_path.filename().string() + "." + process_token() +
                             final_path.extension().string();
    return (final_path.parent_path() / name).string();
}

bool put_in_place(const std::string &scratch, const std::string &path, std::string &error) {
    std::error_code failed;
    fs::rename(scratch, path, failed);
    if (!failed) return true;
    error = "cannot put " + path + " in place: " + failed.message();
    std::error_code ignored;
    fs::remove(scratch, ignored);
    return false;
}
