// demo-capture --link: a moment made in the page's studio, captured as the studio shows it.
#pragma once
#include "options.h"

#include <string>

// Opens the link the options name (after the data folder is set): its folder links/ID/ as the
// shader folder (made when missing; one there must hold the link's shaders), its tuning line as
// --tuning, and its time as --at where the options leave that to the link. False with the reason
// when the link is refused: nothing written, nothing set.
bool apply_capture_link(CaptureOptions &options, std::string &error);
