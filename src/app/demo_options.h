// The demo's command line: the studio's options and the data folder. Nothing else is read.
#pragma once
#include <string>

struct DemoOptions {
    int studio = 0;
    int fullscreen = 0;    // studio: the whole screen instead of the 1024 x 576 window
    int from_ms = -1;      // studio: loop time to start at; -1: the start (or the loop's)
    int loop_from_ms = -1; // studio: a span of loop time played over and over; -1: none
    int loop_to_ms = -1;
    const char *data_dir = nullptr;    // null: "data"
    const char *tuning_line = nullptr; // --tuning: the clipboard's line, preloaded
    const char *tuning_file = nullptr; // --tuning-file: preloaded, and the studio's tuning file
    int pickup = 0; // studio: a preloaded controller waits for its knob to pass its value
    const char *link = nullptr;      // studio: --link, a moment to open
    const char *link_file = nullptr; // studio: --link-file, the file that holds it
    int any_data = 0;                // studio: open a link made against other data
    int start_paused = 0;            // studio: the first frame stands until Space
};

enum DemoOptionsOutcome { DEMO_OPTIONS_RUN, DEMO_OPTIONS_HELP, DEMO_OPTIONS_BAD };

// Reads argv[1..]. On DEMO_OPTIONS_BAD error holds one line saying what is wrong.
DemoOptionsOutcome parse_demo_options(int argc, const char *const *argv, DemoOptions *options,
                                      std::string &error);

extern const char DemoUsage[];
