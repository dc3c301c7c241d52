// Runs every group and fails the process on the first broken promise of any of them.
#include "check.h"

#include <cstring>

int CheckCount = 0;
int CheckFailures = 0;

struct Group {
    const char *name;
    void (*run)();
};

int main(int argc, char **argv) {
    const Group groups[] = {{"window", window_checks},
                            {"midi", midi_checks},
                            {"clipboard", clipboard_checks},
                            {"context", context_checks}};
    for (const Group &group : groups) {
        if (argc > 1 && std::strcmp(argv[1], group.name) != 0) continue;
        int failures_before = CheckFailures;
        int count_before = CheckCount;
        group.run();
        std::printf("%-10s %3d checks, %d failed\n", group.name, CheckCount - count_before,
                    CheckFailures - failures_before);
    }
    std::fflush(stdout);
    if (CheckCount == 0) return 2; // a name that matched nothing is not a pass
    return CheckFailures == 0 ? 0 : 1;
}
