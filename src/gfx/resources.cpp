#include "gfx/resources.h"

#include "gfx/gl_entry_points.h"
#include "gfx/noise.h"
#include "gfx/programs.h"
#include "gfx/textures.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "timeline/scene_pass.h"

#include <cstdio>

int load_resources() {
    char missing[512];
    if (fetch_gl_entry_points(missing, sizeof missing) != 0) {
        // Calling a missing entry point would crash: say what the machine lacks instead.
        char text[700];
        std::snprintf(text, sizeof text,
                      "This demo needs OpenGL 2.0. The graphics driver does not offer: %s",
                      missing);
        message_box(MainWindowHandle, text, "error", MESSAGE_BOX_WARNING);
        return 0;
    }
    make_noise();
    build_programs();
    create_textures();
    if (!SceneQuadric) SceneQuadric = gluNewQuadric();
    return 1;
}
