// The demo's start-up, main loop and shutdown, reaching the OS only through platform/.
#pragma once
#include "platform/audio.h"

struct WindowRecord;

// 1 in the demo's build: a borderless window over the desktop; 0: a 1024 x 576 window.
constexpr int DemoFullscreen = 1;
// The loop ends after the first pass whose loop time is past this.
constexpr int DemoLengthMs = 151000;

// Returns the process exit code: 0, or 1 when the window, its context or OpenGL 2.0 is missing.
int demo_main();

// The steps the demo and the studio share. demo_open opens the window and loads the resources,
// or cleans up, says what failed and returns 0; demo_music_start plays the music from its start
// (stream 0 when silent); demo_close stops it and closes the window.
int demo_open(WindowRecord *window);
AudioStream demo_music_start(WindowRecord *window);
void demo_close(WindowRecord *window, AudioStream stream);
