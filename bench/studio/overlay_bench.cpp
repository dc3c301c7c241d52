// The studio overlay's cost per frame at 1024 x 576: frame statistics, the controller reads of the
// frame (scene 8's first segment, the most reads of any), the text and its drawing, with glFinish
// so the drawing is counted where the GL does it. Prints the median of each part over the frames.
#include "gfx/gl_entry_points.h"
#include "gfx/overlay_font.h"
#include "platform/headless_context.h"
#include "studio/overlay_text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values) {
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames < 1 || !headless_context_init(1024, 576)) {
        std::fprintf(stderr, "usage: overlay_bench [FRAMES >= 1]; needs a GL context (%s)\n",
                     headless_context_error());
        return 2;
    }
    std::string missing;
    if (!fetch_gl_entry_points(missing)) {
        std::fprintf(stderr, "missing GL entry points: %s\n", missing.c_str());
        return 1;
    }
    TuningBank bank(TuningBank::no_devices);
    FrameStats stats;
    SceneReads reads{};
    char text[OverlayTextSize];
    std::vector<double> parts[6]; // stats, reads, text, drawing, all, a bare glFinish
    for (int frame = 0; frame < frames; ++frame) {
        glClearColor(0.3f, 0.3f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glFinish();
        const double bare = now_ms();
        glFinish(); // what the drawing's own glFinish costs with nothing to do
        parts[5].push_back(now_ms() - bare);
        const float clock = 101.2f + frame / 60.0f * 0.01f; // inside segment 1
        const double t0 = now_ms();
        stats.add(8, 16.7f);
        const FrameSummary summary = stats.summary();
        const double t1 = now_ms();
        scan_scene_reads(clock, bank, reads);
        const double t2 = now_ms();
        const OverlayView view{frame * 17, clock, false, false, 0, 0, summary, 1, &reads};
        format_overlay_text(view, text, sizeof text);
        const double t3 = now_ms();
        draw_overlay_text(text);
        glFinish();
        const double t4 = now_ms();
        const double marks[] = {t0, t1, t2, t3, t4};
        for (int i = 0; i < 4; ++i) parts[i].push_back(marks[i + 1] - marks[i]);
        parts[4].push_back(t4 - t0);
    }
    const char *names[] = {"frame statistics", "controller reads", "overlay text", "drawing", "all",
                           "bare glFinish"};
    std::printf("median ms per frame over %d frames at 1024x576 on %s\n", frames,
                reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    for (int i = 0; i < 6; ++i) std::printf("%-18s %8.4f\n", names[i], median(parts[i]));
    headless_context_end();
    return 0;
}
