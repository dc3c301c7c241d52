// The controllers the scene on screen reads and the parameter slots each one feeds, found by
// running the scene's own script again without drawing: once as it is, then once per controller
// with that controller's value moved, watching which slots follow.
#pragma once
#include "tuning/tuning_bank.h"

constexpr int MaxSceneReads = 16;

struct ControllerRead {
    int controller;
    float fallback; // the default the script passes
    float value;    // what the read returns now
    bool touched;
    unsigned slots; // bit k: parameter slot k follows the controller; 0 when none does
};

struct SceneReads {
    int scene; // 1..9
    float local_time;
    int program_slot; // the SceneProgramTable entry the scene pass draws with; -1 when none
    int count;
    ControllerRead reads[MaxSceneReads]; // in the order of first read; later repeats left out
};

// The reads of the frame at `clock`, with the values `bank` holds now. The clock, the parameter
// block, the draw seam, the read observer and the bank are left as they were.
void scan_scene_reads(float clock, TuningBank &bank, SceneReads &out);

// Undo for the knobs: every controller the scene at `clock` reads anywhere in its span (scene 8
// reads different ones per segment), or every controller, back to untouched.
void untouch_scene_reads(float clock, TuningBank &bank);
void untouch_all(TuningBank &bank);
