// One frame from the middle of each scene, in a 3 x 3 grid.
#include "capture_modes.h"
#include "gl_session.h"
#include "image.h"
#include "timeline_run.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int Gap = 4;
constexpr unsigned char Backdrop = 24;
// Scene 9 has no end: it is taken halfway into its first two seconds.
constexpr double Scene9Seconds = 2.0;

int fail(const std::string &message) {
    std::fprintf(stderr, "demo-capture: %s\n", message.c_str());
    return ExitFailure;
}

} // namespace

int run_contact_sheet(const CaptureOptions &o) {
    // A dry run finds each scene's frames; the same stamps then run again, drawing the middle
    // ones. Scene 9 comes from the same run continued past the demo's end.
    const std::vector<SurveyFrame> survey = survey_timeline(o.fps, Scene9Seconds);
    const std::array<SceneSpan, 9> spans = scene_spans(survey);
    std::vector<int32_t> stamps;
    std::vector<bool> keep;
    std::size_t last_needed = 0;
    for (const SceneSpan &span : spans) {
        if (span.first > span.last) return fail("a scene never came up in the timeline");
        last_needed = std::max(last_needed, (span.first + span.last) / 2);
    }
    for (std::size_t i = 0; i <= last_needed; ++i) stamps.push_back(survey[i].now);
    keep.assign(stamps.size(), false);
    for (const SceneSpan &span : spans) keep[(span.first + span.last) / 2] = true;

    std::string error;
    install_message_hook();
    if (!open_gl(o.width, o.height, error) || !load_demo_resources(error)) {
        close_gl();
        return fail(error);
    }

    const int cell_w = o.cell_width;
    const int cell_h =
        static_cast<int>(std::lround(static_cast<double>(cell_w) * o.height / o.width));
    Image sheet;
    sheet.width = 3 * cell_w + 4 * Gap;
    sheet.height = 3 * cell_h + 4 * Gap;
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 3, Backdrop);
    int cell = 0;
    run_selected(stamps, keep, true, [&](std::size_t, int32_t) {
        const Image frame = read_frame();
        paste_image(sheet, resize_image(frame, cell_w, cell_h), Gap + (cell % 3) * (cell_w + Gap),
                    Gap + (cell / 3) * (cell_h + Gap));
        ++cell;
        return true;
    });
    close_gl();
    if (!write_png(o.contact_sheet_path, sheet, error)) return fail(error);
    return ExitOk;
}
