// The folder watch (platform/file_watch.h) on Linux through inotify.
// [x] non-blocking descriptor: a poll reads what is queued and returns
// [x] writes (each close after writing, and plain modifications), creations, removals, renames
// [x] a queue overflow is reported as an empty name
// [ ] subfolders; the folder itself being removed or renamed goes unreported
#include "platform/file_watch.h"

const bool WatchedFilesOutlastTheRun = true;

#include <cerrno>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

int Descriptor = -1;

} // namespace

int file_watch_start(const char *folder) {
    file_watch_stop();
    Descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (Descriptor < 0) return 0;
    const uint32_t events =
        IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (inotify_add_watch(Descriptor, folder, events | IN_ONLYDIR) < 0) {
        file_watch_stop();
        return 0;
    }
    return 1;
}

int file_watch_poll(void (*changed)(const char *name, void *user), void *user) {
    if (Descriptor < 0) return 0;
    int calls = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t size = read(Descriptor, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR) continue;
        if (size <= 0) break; // EAGAIN: nothing more queued
        for (ssize_t at = 0; at < size;) {
            const inotify_event *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW)
                changed("", user), ++calls;
            else if (event->len > 0)
                changed(event->name, user), ++calls;
        }
    }
    return calls;
}

void file_watch_stop() {
    if (Descriptor >= 0) close(Descriptor);
    Descriptor = -1;
}
