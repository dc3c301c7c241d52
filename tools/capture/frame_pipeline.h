// Frames handed from the render thread to writer threads through a fixed set of buffers. The
// render thread waits for a free buffer while all are in flight, so memory stays bounded whatever
// the length of the span, and no frame is ever dropped.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct PipelineFrame {
    std::size_t index = 0;
    std::vector<unsigned char> bytes;
};

class FramePipeline {
  public:
    // False with a message when a frame could not be written; no frame is written after that.
    using Writer = std::function<bool(const PipelineFrame &frame, std::string &error)>;

    // `writers` threads take the frames in the order they were submitted; one writer keeps that
    // order to the end. Buffers of `frame_bytes` are made when first needed.
    FramePipeline(std::size_t buffers, std::size_t writers, std::size_t frame_bytes, Writer write);
    FramePipeline(const FramePipeline &) = delete;
    FramePipeline &operator=(const FramePipeline &) = delete;
    ~FramePipeline();

    // A free buffer, waiting while every buffer is in flight; nullptr once a writer failed.
    PipelineFrame *acquire();
    // Queues a buffer from acquire for the writers.
    void submit(PipelineFrame *frame);
    // Writes what was submitted and stops the writers; false with the first writer's error.
    bool finish(std::string &error);

  private:
    void work();

    Writer write_;
    std::size_t frame_bytes_;
    std::vector<PipelineFrame> frames_;
    std::vector<PipelineFrame *> free_;
    std::deque<PipelineFrame *> queued_;
    std::mutex mutex_;
    std::condition_variable freed_, queued_or_closing_;
    bool closing_ = false;
    bool failed_ = false;
    std::string error_;
    std::vector<std::thread> threads_;
};
