#include "gfx/resources.h"

#include "gfx/gl_entry_points.h"
#include "gfx/noise.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <string>

GLUquadric *SceneQuadric = nullptr;

static int load_entry_points() {
    std::string missing;
    if (fetch_gl_entry_points(missing)) return 1;
    // Calling a missing entry point would crash: say what the machine lacks instead.
    const std::string text =
        "This demo needs OpenGL 2.0. The graphics driver does not offer: " + missing;
    message_box(MainWindowHandle, text.c_str(), "error", MESSAGE_BOX_WARNING);
    return 0;
}

const LoadStep LoadSteps[LoadStepCount] = {
    {"GL entry points", load_entry_points},
    {"make_noise",
     [] {
         make_noise();
         return 1;
     }},
    {"build_programs",
     [] {
         ProgramBuildHook.run();
         return 1;
     }},
    {"textures and quadric",
     [] {
         create_textures();
         if (!SceneQuadric) SceneQuadric = gluNewQuadric();
         return 1;
     }},
};

int load_resources() {
    for (const LoadStep &step : LoadSteps)
        if (!step.run()) return 0;
    return 1;
}
