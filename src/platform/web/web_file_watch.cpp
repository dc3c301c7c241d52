// Watching the data folder in the browser: the files are those the page wrote into its file system,
// and the page keeps the names of those it wrote (the studio's editor, after a pause in typing).
//   [x] each file the page names is reported once at the next poll, as a save natively
//   [ ] the server's files are not watched; in the plain demo y, Y and p fetch them anew
#include "platform/file_watch.h"

#include <emscripten.h>

#include <cstdlib>

const bool WatchedFilesOutlastTheRun = false;

EM_JS(void, web_watch, (int on), { Module.webPage.watch(on); });
// The next name the page wrote since the last poll, in memory freed here; null when none is left.
EM_JS(char *, web_next_written, (), {
    const name = Module.webPage.nextWritten();
    if (!name) return 0;
    const size = lengthBytesUTF8(name) + 1, at = _malloc(size);
    stringToUTF8(name, at, size);
    return at;
});

int file_watch_start(const char *) {
    web_watch(1);
    return 1;
}

int file_watch_poll(void (*changed)(const char *, void *), void *user) {
    int calls = 0;
    for (char *name; (name = web_next_written()); ++calls) {
        changed(name, user);
        std::free(name);
    }
    return calls;
}

void file_watch_stop() {
    web_watch(0);
}
