// Changes to the files of one folder, so that what was built from them can be built again.
// Polled each frame; never blocks.
#pragma once

// Starts watching the folder's files (not its subfolders), ending any earlier watch. Returns 1
// when watching; 0 when the folder or the OS's watch is unavailable (polls then report nothing).
int file_watch_start(const char *folder);
// Calls changed(name, user) for each file name of the folder written, created, renamed in or out,
// or removed since the last poll, as often as the OS reports it; an empty name means the OS lost
// count and any file may have changed. Returns how many calls it made.
int file_watch_poll(void (*changed)(const char *name, void *user), void *user);
void file_watch_stop();

// Whether the watched folder's files outlast the run. In the browser they go with the tab: the
// page keeps the studio's work in the browser's storage, so the studio keeps no file of its own.
extern const bool WatchedFilesOutlastTheRun;
