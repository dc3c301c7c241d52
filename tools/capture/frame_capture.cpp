#include "frame_capture.h"

#include "frame_pipeline.h"
#include "frame_readback.h"
#include "image.h"
#include "platform/window.h"
#include "timeline_run.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

volatile std::sig_atomic_t Interrupted = 0;

void on_interrupt(int signal) {
    Interrupted = 1;
    std::signal(signal, SIG_DFL);
}

// Each PNG is written on its own, so several encode at once; a video takes its frames in order
// from one writer. Beyond the writers' frames, one waits queued and one is being read back.
std::size_t writers_for(OutputKind kind) {
    if (kind != OutputKind::Folder) return 1;
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 4);
}

// What a frame becomes: bytes for ffmpeg, one PNG, a numbered PNG of a folder, or nothing.
FramePipeline::Writer writer_for(const CaptureTarget &target, VideoEncoder &video, int width,
                                 int height) {
    switch (target.kind) {
    case OutputKind::Mp4:
        return [&video](const PipelineFrame &frame, std::string &why) {
            return video.write(frame.bytes.data(), frame.bytes.size(), why);
        };
    case OutputKind::Png:
        return [&target, width, height](const PipelineFrame &frame, std::string &why) {
            return write_png_bottom_up(target.path, width, height, frame.bytes.data(), why);
        };
    case OutputKind::Folder:
        return [&target, width, height](const PipelineFrame &frame, std::string &why) {
            char name[32];
            std::snprintf(name, sizeof name, "frame_%06zu.png", frame.index);
            return write_png_bottom_up((std::filesystem::path(target.path) / name).string(), width,
                                       height, frame.bytes.data(), why);
        };
    default:
        return [](const PipelineFrame &, std::string &) { return true; };
    }
}

// Frame i is read back into one pixel buffer while frame i + 1 renders; it is copied out after
// that frame's read has started. False when a read-back did not map; a writer's failure comes
// from the pipeline's finish.
bool draw_plan(const FramePlan &plan, FrameReadback &readback, FramePipeline &pipeline,
               Progress *progress, CaptureResult &result, std::string &error) {
    std::size_t pending = 0;
    bool has_pending = false;
    bool lost = false;
    auto hand_over = [&](bool latest) {
        PipelineFrame *frame = pipeline.acquire();
        if (!frame) return false;
        if (!readback.take(frame->bytes.data(), latest)) {
            error = "cannot read frame " + std::to_string(pending) + " back";
            lost = true;
            return false;
        }
        frame->index = pending;
        pipeline.submit(frame);
        ++result.frames;
        if (progress) progress->step();
        return true;
    };
    run_plan(plan, true, [&](std::size_t index, int32_t) {
        readback.start();
        if (has_pending && !hand_over(false)) return false;
        pending = index;
        has_pending = true;
        return Interrupted == 0;
    });
    if (has_pending && !lost) hand_over(true);
    return !lost;
}

} // namespace

void stop_captures_on_interrupt() {
    Interrupted = 0;
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
}

bool capture_frames(const FramePlan &plan, const CaptureTarget &target, Progress *progress,
                    CaptureResult &result, std::string &error) {
    result = CaptureResult{};
    const int width = WindowWidth, height = WindowHeight;
    FrameReadback readback;
    if (!readback.open(width, height, error)) return false;

    VideoEncoder video;
    if (target.kind == OutputKind::Mp4 && !video.open(target.video, error)) return false;
    const std::size_t writers = writers_for(target.kind);
    FramePipeline pipeline(writers + 2, writers, readback.frame_bytes(),
                           writer_for(target, video, width, height));
    const bool drawn = draw_plan(plan, readback, pipeline, progress, result, error);
    result.interrupted = Interrupted != 0;
    readback.close();

    std::string write_error;
    const bool written = pipeline.finish(write_error);
    std::string close_error;
    const bool closed = video.close(close_error);
    if (!drawn) return false;
    if (!written) {
        error = write_error;
        return false;
    }
    if (!closed) {
        error = close_error;
        return false;
    }
    return true;
}
