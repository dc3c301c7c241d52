// The process entry point of each platform: the options, then the plain demo or the studio.
#include "app/demo_main.h"
#include "app/demo_options.h"
#include "app/studio_main.h"
#include "platform/console.h"

#include <cstdio>

static int demo_start(int argc, const char *const *argv) {
    DemoOptions options;
    char reason[256];
    switch (parse_demo_options(argc, argv, &options, reason, sizeof reason)) {
    case DEMO_OPTIONS_HELP:
        console_write(DemoUsage, CONSOLE_OUT);
        return 0;
    case DEMO_OPTIONS_BAD: {
        char line[300];
        std::snprintf(line, sizeof line, "demo: %s\n", reason);
        console_write(line, CONSOLE_ERROR);
        return 2;
    }
    case DEMO_OPTIONS_RUN:
        break;
    }
    return options.studio ? studio_main(options) : demo_main();
}

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <stdlib.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return demo_start(__argc, __argv);
}
#else
int main(int argc, char **argv) {
    return demo_start(argc, argv);
}
#endif
