// Replacing a file whole (platform/file_replace.h) on POSIX: a temporary file beside it, fsync,
// rename over it.
// [x] a symbolic link (a chain of them, a dangling one) stays: the file it leads to is replaced
// [x] the temporary file lies beside that file, so the rename never crosses file systems
// [x] the file keeps its mode; a new one gets what the umask leaves of 0666
// [x] the temporary file's name is new (O_EXCL, another on a collision): no file is reused
// [x] the data reaches the disk before the rename makes it the file
// [x] any failure removes the temporary file and leaves the old file as it was
// [ ] the folder itself is not fsynced: after a power cut the old file may come back
// [ ] the owner and group are the writer's, as for any file it creates
#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(const char *step, const char *path, std::string &error) {
    error = std::string("cannot ") + step + " " + path + ": " + std::strerror(errno);
    return false;
}

// The file the links from path lead to, existing or not. A link's relative target counts from the
// link's own folder. As many links as the kernel follows: a cycle is ELOOP.
bool follow_links(const char *path, std::string &target) {
    target = path;
    struct stat status;
    for (int links = 0; lstat(target.c_str(), &status) == 0 && S_ISLNK(status.st_mode); ++links) {
        if (links == 40) {
            errno = ELOOP;
            return false;
        }
        char link[PATH_MAX];
        const ssize_t length = readlink(target.c_str(), link, sizeof link);
        if (length < 0) return false;
        const std::size_t slash = target.rfind('/');
        if (link[0] == '/' || slash == std::string::npos)
            target.assign(link, static_cast<std::size_t>(length));
        else
            target.replace(slash + 1, std::string::npos, link, static_cast<std::size_t>(length));
    }
    return true;
}

// A file of a new name beside target: O_EXCL never opens one that is there already, whoever
// made it.
int create_beside(const std::string &target, std::string &temporary) {
    std::random_device random;
    for (int tries = 0; tries < 100; ++tries) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x", static_cast<unsigned>(random()));
        temporary = target + suffix;
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

bool file_replace(const char *path, const char *bytes, std::size_t size, std::string &error) {
    std::string target, temporary;
    if (!follow_links(path, target)) return fail("follow the links of", path, error);
    struct stat old;
    const bool replacing = stat(target.c_str(), &old) == 0;
    const int fd = create_beside(target, temporary);
    if (fd < 0) return fail("create a file beside", path, error);
    const char *step = nullptr;
    if (replacing && fchmod(fd, old.st_mode & 07777) != 0) step = "set the mode of a file for";
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
    if (!step && std::rename(temporary.c_str(), target.c_str()) != 0) step = "rename a file over";
    if (!step) return true;
    const int reason = errno;
    unlink(temporary.c_str());
    errno = reason;
    return fail(step, path, error);
}
