// demo --studio --link: the link's moment opened before the studio starts, and handed to it as the
// plain values it starts from.
#pragma once
#include "app/demo_options.h"

#include <string>

// Opens the link the options name into links/ID/ and sets what the studio starts from: the
// link's time and loop (--from and --loop given win; the link's loop goes when --from lies outside
// it), paused as the link was, the shaders from links/ID/ and the tuning file links/ID/tuning.txt
// (its name kept in tuning_file, which must outlive the options). Says on standard output what
// it opened. False with the reason when the link is refused: nothing written, nothing set.
bool open_studio_link(DemoOptions &options, std::string &tuning_file, std::string &error);
