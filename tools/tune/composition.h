#pragma once
#include <vector>

#include "score.h"

namespace tune {

// A scene of the picture and where its music begins.
struct Section {
    const char *name;
    double cut;     // picture clock time of the scene's first frame, seconds
    int first_step; // first sixteenth of the section on the global grid
    int steps;      // length in sixteenths
    double entry;   // music time of the section's first hit, seconds
};

// The picture trails the music by this much, so a cut at clock T is heard at T + kPictureLag.
constexpr double kPictureLag = 0.2;

const std::vector<Section> &sections();

// The whole piece as data: notes, mix and automation.
Score compose();

} // namespace tune
