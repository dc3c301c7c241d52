#include "capture_modes.h"

#include "gfx/gl.h"
#include "gl_session.h"
#include "frame_capture.h"
#include "image.h"
#include "progress.h"
#include "scratch_file.h"
#include "timeline/parameter_block.h"
#include "timeline/scene_pass.h"
#include "timeline_run.h"
#include "video_encoder.h"
#include "video_join.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace {

int fail(const std::string &message) {
    return capture_failure(message);
}

bool read_text(const std::string &path, std::string &text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Closes what was opened before reporting, so no context outlives a failure.
int fail_closing(const std::string &message) {
    close_gl();
    return fail(message);
}

bool start_gl(int width, int height, std::string &error) {
    install_message_hook();
    return open_gl(width, height, error) && load_demo_resources(error);
}

// An .mp4 is muxed with the music, so a missing tune is found before anything is drawn.
bool music_found(const CaptureOptions &o) {
    if (std::filesystem::is_regular_file(o.music_path)) return true;
    fail("no music at " + o.music_path +
         " (run from the folder that holds data/, or give --music FILE)");
    return false;
}

// Frame k is shown at k / fps in the video, and was drawn at round(k * 1000 / fps) ms.
void add_music(VideoSettings &video, const CaptureOptions &o, const FramePlan &plan) {
    video.music_path = o.music_path;
    video.music_offset_s = static_cast<double>(plan.first_kept) / o.fps;
    video.duration_s = static_cast<double>(plan.kept()) / o.fps;
}

// What --dry-run says instead of drawing.
int print_plan(const FramePlan &plan) {
    std::printf("frames %zu to %zu: %zu frames, loop time %.3f to %.3f s\n", plan.first_kept,
                plan.stamps.size() - 1, plan.kept(), plan.stamps[plan.first_kept] / 1000.0,
                plan.stamps.back() / 1000.0);
    return ExitOk;
}

} // namespace

int run_render(const CaptureOptions &o) {
    FramePlan plan;
    int code = ExitOk;
    if (!make_plan(o, plan, code)) return code;

    // A part's segment is silent: the join adds the music once.
    if (o.out_kind == OutputKind::Mp4 && o.part == 0 && !music_found(o)) return ExitFailure;
    if (o.dry_run) return print_plan(plan);
    std::string error;
    std::error_code fs_error;
    if (o.out_kind == OutputKind::Folder) {
        std::filesystem::create_directories(o.out, fs_error);
        if (fs_error) return fail("cannot make the folder " + o.out + ": " + fs_error.message());
    }

    if (!start_gl(o.width, o.height, error)) return fail_closing(error);
    // After the context: its library may have claimed the signals for itself.
    stop_captures_on_interrupt();

    CaptureTarget target;
    target.kind = o.out_kind;
    target.path = o.out;
    set_png_level(o.png_level);
    // A segment appears whole: a part run again never rewrites one that a join is reading.
    const bool segmented = o.out_kind == OutputKind::Mp4 && o.part > 0;
    const std::string segment = segmented ? segment_path(o.out, o.part, o.parts) : "";
    if (segmented) {
        target.path = scratch_path(segment);
        target.video = video_settings(o, target.path);
    } else if (o.out_kind == OutputKind::Mp4) {
        target.video = video_settings(o, o.out);
        add_music(target.video, o, plan);
    }

    Progress progress(plan.kept());
    CaptureResult result;
    bool done = capture_frames(plan, target, &progress, result, error);
    progress.finish();
    close_gl();
    if (segmented) {
        if (done && !result.interrupted)
            done = put_in_place(target.path, segment, error);
        else
            std::filesystem::remove(target.path, fs_error);
    }
    if (!done) return fail(error);
    if (result.interrupted) {
        const std::string kept =
            segmented ? ", no segment written for this part" : ", " + o.out + " holds them";
        std::fprintf(stderr, "demo-capture: interrupted after %zu of %zu frames%s\n", result.frames,
                     plan.kept(), o.out_kind == OutputKind::Mp4 ? kept.c_str() : "");
        return ExitInterrupted;
    }
    return ExitOk;
}

int run_join(const CaptureOptions &o) {
    FramePlan whole;
    int code = ExitOk;
    if (!make_plan(o, whole, code)) return code;
    if (!music_found(o)) return ExitFailure;
    if (o.dry_run) return print_plan(whole);
    std::vector<Segment> segments;
    for (int k = 1; k <= o.parts; ++k) {
        const PartSpan span = part_span(whole.kept(), k, o.parts);
        segments.push_back({segment_path(o.out, k, o.parts), span.end - span.begin});
    }
    VideoSettings video = video_settings(o, o.out);
    add_music(video, o, whole);
    std::string error;
    return join_segments(segments, video, error) ? ExitOk : fail(error);
}

VideoSettings video_settings(const CaptureOptions &o, const std::string &path) {
    VideoSettings settings;
    settings.path = path;
    settings.width = o.width;
    settings.height = o.height;
    settings.fps = o.fps;
    settings.crf = o.crf;
    settings.preset = o.preset;
    // The renderer keeps half the machine busy; the encoder gets the other half.
    settings.threads = std::max(1u, std::thread::hardware_concurrency() / 2);
    return settings;
}

int run_shader(const CaptureOptions &o) {
    std::string text, error;
    if (!read_text(o.shader_path, text)) return fail("cannot read " + o.shader_path);
    install_message_hook();
    if (!open_gl(o.width, o.height, error)) return fail_closing(error);
    // Only the post program, the noise and the quadric matter here: a scene file of data/ that
    // does not build yet is worth a warning, not a refusal.
    if (!load_demo_resources(error))
        std::fprintf(stderr, "demo-capture: warning: not every shader of data/ built; "
                             "--shader goes on with the post pass it needs\n");
    const unsigned program = build_scene_program(text, o.shader_path, error);
    if (!program) return fail_closing(error);

    for (float &slot : ParameterBlock) slot = 0.0f;
    ParameterBlock[0] = static_cast<float>(o.at_s);
    glEnable(GL_CULL_FACE); // as render_frame leaves it for every scene
    scene_pass(program);
    const bool written = write_png(o.out, read_frame(), error);
    close_gl();
    return written ? ExitOk : fail(error);
}
