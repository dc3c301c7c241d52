// Watching the data folder in the browser: nothing to watch, the files are on a server.
//   [ ] changes are not seen; y, Y and p fetch the shader files anew instead
#include "platform/file_watch.h"

int file_watch_start(const char *) {
    return 0;
}
int file_watch_poll(void (*)(const char *, void *), void *) {
    return 0;
}
void file_watch_stop() {}
