#include "fuzz_check.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

ScratchFile::ScratchFile() {
    const char *dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/demo-fuzz-XXXXXX";
    const int fd = mkstemp(pattern.data());
    FUZZ_CHECK(fd >= 0, "mkstemp %s: %s", pattern.c_str(), std::strerror(errno));
    close(fd);
    path_ = pattern;
}

ScratchFile::~ScratchFile() {
    unlink(path_.c_str());
}

void ScratchFile::write(const unsigned char *data, std::size_t size) {
    std::FILE *file = std::fopen(path_.c_str(), "wb");
    FUZZ_CHECK(file, "cannot write %s", path_.c_str());
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size, "short write to %s",
               path_.c_str());
    std::fclose(file);
}
