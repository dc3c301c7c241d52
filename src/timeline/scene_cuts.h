// Where each scene starts on the demo clock: the sequencer's table, which the music's score also
// follows. Plain header, no dependencies, so the tools can include it.
#pragma once

constexpr int SceneCount = 9;

struct SceneCut {
    double start;  // clock time of the scene's first frame, seconds
    double origin; // clock time its local time counts from
};

// The clock compares with the float nearest each figure (see timeline/numbers.h). Scene 6's
// local time starts at -0.4, not 0; scene 9 runs on the full clock, not t - 151.
constexpr SceneCut SceneCuts[SceneCount] = {
    {0.0, 0.0},   {37.7, 37.7}, {52.7, 52.7},   {60.0, 60.0}, {67.5, 67.5},
    {74.8, 75.2}, {89.5, 89.5}, {101.0, 101.0}, {151.0, 0.0},
};
