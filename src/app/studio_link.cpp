#include "app/studio_link.h"

#include "gfx/data_dir.h"
#include "platform/console.h"
#include "studio/moment_open.h"

#include <cstdio>

bool open_studio_link(DemoOptions &o, std::string &tuning_file, std::string &error) {
    std::string link;
    OpenedMoment opened;
    if (!read_moment_link_text(o.link, o.link_file, link, error) ||
        !open_moment_link(link, o.any_data, MomentFolderUse::keep, MomentLinksFolder, opened,
                          error) ||
        !shader_dir_set(opened.folder.c_str(), error))
        return false;
    const Moment &m = opened.moment;
    const bool from_given = o.from_ms >= 0;
    if (!from_given) o.from_ms = m.time_ms;
    if (o.loop_from_ms < 0 && m.loop_from_ms >= 0 &&
        (!from_given || (o.from_ms >= m.loop_from_ms && o.from_ms < m.loop_to_ms)))
        o.loop_from_ms = m.loop_from_ms, o.loop_to_ms = m.loop_to_ms;
    o.start_paused = o.start_paused || m.paused;
    tuning_file = opened.folder + "/" + MomentTuningFile;
    o.tuning_file = tuning_file.c_str();

    char line[400];
    int n = std::snprintf(line, sizeof line, "demo: the link's moment: %d.%03d s", o.from_ms / 1000,
                          o.from_ms % 1000);
    if (o.loop_from_ms >= 0)
        n += std::snprintf(line + n, sizeof line - n, ", loop %d.%03d to %d.%03d s",
                           o.loop_from_ms / 1000, o.loop_from_ms % 1000, o.loop_to_ms / 1000,
                           o.loop_to_ms % 1000);
    std::snprintf(line + n, sizeof line - n, "%s; its shaders and tuning in %s/%s\n",
                  m.paused ? ", paused" : "", opened.folder.c_str(),
                  opened.existed ? ", there from before: the studio goes on with them as they are"
                                 : "");
    console_write(line, CONSOLE_NOTE);
    return true;
}
