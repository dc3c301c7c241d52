// The way frames go from the renderer to the writers: whatever the writers' pace, every frame
// arrives once, in order with one writer, and no more buffers exist than were asked for.
#include "frame_pipeline.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr std::size_t Frames = 40, Buffers = 3;

// Hands Frames frames to a pipeline whose writers sleep on each; returns the indices written, in
// the order written, and checks that the bytes are the frame's own.
std::vector<std::size_t> run(std::size_t writers, std::size_t fail_at, std::string &error,
                             bool &finished) {
    std::mutex mutex;
    std::vector<std::size_t> written;
    std::set<const PipelineFrame *> buffers;
    FramePipeline pipeline(Buffers, writers, 16, [&](const PipelineFrame &frame, std::string &why) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard<std::mutex> lock(mutex);
        buffers.insert(&frame);
        EXPECT_EQ(frame.bytes, std::vector<unsigned char>(16, frame.index & 0xff));
        if (frame.index == fail_at) {
            why = "disk full";
            return false;
        }
        written.push_back(frame.index);
        return true;
    });
    for (std::size_t i = 0; i < Frames; ++i) {
        PipelineFrame *frame = pipeline.acquire();
        if (!frame) break;
        std::fill(frame->bytes.begin(), frame->bytes.end(), i & 0xff);
        frame->index = i;
        pipeline.submit(frame);
    }
    finished = pipeline.finish(error);
    EXPECT_LE(buffers.size(), Buffers);
    return written;
}

TEST(FramePipeline, SlowWritersGetEveryFrameOnceAndOneWriterKeepsTheOrder) {
    std::vector<std::size_t> all(Frames);
    for (std::size_t i = 0; i < Frames; ++i) all[i] = i;
    std::string error;
    bool finished = false;
    EXPECT_EQ(run(1, Frames, error, finished), all);
    EXPECT_TRUE(finished) << error;
    std::vector<std::size_t> written = run(3, Frames, error, finished);
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, all);
    EXPECT_TRUE(finished) << error;
}

TEST(FramePipeline, AFailedWriteStopsTheRunAndIsReported) {
    std::string error;
    bool finished = true;
    const std::vector<std::size_t> written = run(1, 5, error, finished);
    EXPECT_FALSE(finished);
    EXPECT_EQ(error, "disk full");
    // Nothing after the failed frame is written, and what came before is whole.
    EXPECT_EQ(written, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
}

} // namespace
