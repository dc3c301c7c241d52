// The tuning studio: the demo with time control, an overlay and its makers' keys.
#pragma once
#include "app/demo_options.h"

// Returns the process exit code, as demo_main does.
int studio_main(const DemoOptions &options);
