// Watching the data folder in the browser: the files are those the page wrote into its file system,
// and the page tells which it wrote (the studio's editor, after a pause in typing).
//   [x] each file the page names is reported once at the next poll, as a save natively
//   [x] more names than fit between two polls: an empty name, "any file may have changed"
//   [ ] the server's files are not watched; in the plain demo y, Y and p fetch them anew
#include "platform/file_watch.h"

#include <emscripten.h>

#include <cstdio>

const bool WatchedFilesOutlastTheRun = false;

namespace {

constexpr int MaxPending = 16;
char Pending[MaxPending][64];
int PendingCount = 0;
bool Lost = false;
bool Watching = false;

} // namespace

// The page wrote this file of the data folder.
extern "C" EMSCRIPTEN_KEEPALIVE void web_file_written(const char *name) {
    if (!Watching) return;
    if (PendingCount == MaxPending) {
        Lost = true;
        return;
    }
    std::snprintf(Pending[PendingCount++], sizeof Pending[0], "%s", name);
}

int file_watch_start(const char *) {
    PendingCount = 0;
    Lost = false;
    Watching = true;
    return 1;
}

int file_watch_poll(void (*changed)(const char *, void *), void *user) {
    int calls = 0;
    for (int i = 0; i < PendingCount; ++i, ++calls) changed(Pending[i], user);
    if (Lost) changed("", user), ++calls;
    PendingCount = 0;
    Lost = false;
    return calls;
}

void file_watch_stop() {
    Watching = false;
}
