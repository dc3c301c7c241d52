// Replacing a file whole (platform/file_replace.h) on POSIX: a temporary file beside it, fsync,
// rename over it.
// [x] the temporary file lies in the same folder, so the rename never crosses file systems
// [x] the data reaches the disk before the rename makes it the file
// [x] any failure removes the temporary file and leaves the old file as it was
// [ ] the folder itself is not fsynced: after a power cut the old file may come back
#include "platform/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(const char *step, const char *path, std::string &error) {
    error = std::string("cannot ") + step + " " + path + ": " + std::strerror(errno);
    return false;
}

} // namespace

bool file_replace(const char *path, const char *bytes, std::size_t size, std::string &error) {
    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return fail("create a file beside", path, error);
    const char *step = nullptr;
    // mkstemp makes it private; the file it replaces was readable by others too.
    if (fchmod(fd, 0644) != 0) step = "set the mode of a file for";
    for (std::size_t done = 0; !step && done < size;) {
        const ssize_t written = write(fd, bytes + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            step = "write";
        else
            done += static_cast<std::size_t>(written);
    }
    if (!step && fsync(fd) != 0) step = "flush";
    if (close(fd) != 0 && !step) step = "close";
    if (!step && std::rename(temporary.c_str(), path) != 0) step = "rename a file over";
    if (!step) return true;
    const int reason = errno;
    unlink(temporary.c_str());
    errno = reason;
    return fail(step, path, error);
}
