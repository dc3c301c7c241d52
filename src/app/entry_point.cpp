// The process entry point of each platform: the options, then the plain demo or the studio.
#include "app/demo_main.h"
#include "app/demo_options.h"
#include "app/studio_main.h"
#include "app/studio_link.h"
#include "gfx/data_dir.h"
#include "platform/console.h"
#include "studio/studio_session.h"
#include "tuning/tuning_bank.h"
#include "tuning/tuning_preload.h"

#include <string>

// The tuning a run starts with: --tuning, --tuning-file, or in the studio its own tuning file when
// one is there. False, with the reason on the console, when a line is malformed or a file unread.
static bool preload_tuning(const DemoOptions &options) {
    std::string error;
    bool loaded = true;
    if (options.tuning_line)
        loaded = preload_tuning_line(Tuning, options.tuning_line, error);
    else if (options.tuning_file || options.studio)
        loaded = preload_tuning_file(Tuning,
                                     options.tuning_file ? options.tuning_file : StudioTuningFile,
                                     error) != TuningFileOutcome::failed;
    if (loaded) return true;
    console_write(("demo: " + error + "\n").c_str(), CONSOLE_ERROR);
    return false;
}

// A command line the demo cannot run with: its reason on the console and exit code 2.
static int refuse(const std::string &reason) {
    console_write(("demo: " + reason + "\n").c_str(), CONSOLE_ERROR);
    return 2;
}

static int demo_start(int argc, const char *const *argv) {
    DemoOptions options;
    std::string error;
    switch (parse_demo_options(argc, argv, &options, error)) {
    case DEMO_OPTIONS_HELP:
        console_write(DemoUsage, CONSOLE_OUT);
        return 0;
    case DEMO_OPTIONS_BAD:
        return refuse(error);
    case DEMO_OPTIONS_RUN:
        break;
    }
    std::string reason;
    if (!data_dir_set(options.data_dir, reason)) return refuse(reason);
#ifndef __EMSCRIPTEN__ // the page opens the links of its own address, with the browser's inflation
    std::string link_tuning_file; // the tuning file options name after a link, while it runs
    if ((options.link || options.link_file) && !open_studio_link(options, link_tuning_file, reason))
        return refuse(reason);
#endif
    if (!preload_tuning(options)) return 2;
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
