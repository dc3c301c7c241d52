// Runs every group, or the one named, and fails the process on any broken promise.
#include "check.h"

#include <cstring>

int CheckCount = 0;
int CheckFailures = 0;

int main(int argc, char **argv) {
    const struct {
        const char *name;
        void (*run)();
    } groups[] = {{"window", window_checks},
                  {"midi", midi_checks},
                  {"clipboard", clipboard_checks},
                  {"context", context_checks},
                  {"file_replace", file_replace_checks}};
    for (const auto &group : groups) {
        if (argc > 1 && std::strcmp(argv[1], group.name) != 0) continue;
        const int failures_before = CheckFailures, count_before = CheckCount;
        group.run();
        std::printf("%-10s %3d checks, %d failed\n", group.name, CheckCount - count_before,
                    CheckFailures - failures_before);
    }
    std::fflush(stdout);
    return CheckCount == 0 ? 2 : CheckFailures != 0; // a name that matched nothing is no pass
}
