#include "capture_link.h"

#include "gfx/data_dir.h"
#include "studio/moment_open.h"

bool apply_capture_link(CaptureOptions &o, std::string &error) {
    std::string link;
    OpenedMoment opened;
    if (!read_moment_link_text(o.link.empty() ? nullptr : o.link.c_str(), o.link_file.c_str(), link,
                               error) ||
        !open_moment_link(link, o.any_data, MomentFolderUse::match, MomentLinksFolder, opened,
                          error) ||
        !shader_dir_set(opened.folder.c_str(), error))
        return false;
    o.has_tuning = true;
    o.tuning_line = opened.moment.tuning;
    if (o.link_gives_at) o.has_at = true, o.at_s = opened.moment.time_ms / 1000.0;
    return true;
}
