#include "frame_pipeline.h"

#include <utility>

FramePipeline::FramePipeline(std::size_t buffers, std::size_t writers, std::size_t frame_bytes,
                             Writer write)
    : write_(std::move(write)), frame_bytes_(frame_bytes), frames_(buffers) {
    for (PipelineFrame &frame : frames_) free_.push_back(&frame);
    for (std::size_t i = 0; i < writers; ++i) threads_.emplace_back([this] { work(); });
}

FramePipeline::~FramePipeline() {
    std::string ignored;
    finish(ignored);
}

PipelineFrame *FramePipeline::acquire() {
    std::unique_lock<std::mutex> lock(mutex_);
    freed_.wait(lock, [this] { return failed_ || !free_.empty(); });
    if (failed_) return nullptr;
    PipelineFrame *frame = free_.back();
    free_.pop_back();
    lock.unlock();
    frame->bytes.resize(frame_bytes_);
    return frame;
}

void FramePipeline::submit(PipelineFrame *frame) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queued_.push_back(frame);
    }
    queued_or_closing_.notify_one();
}

void FramePipeline::work() {
    std::string error;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        queued_or_closing_.wait(lock, [this] { return closing_ || !queued_.empty(); });
        if (queued_.empty()) return; // closing, and nothing left
        PipelineFrame *frame = queued_.front();
        queued_.pop_front();
        const bool skip = failed_; // after a failure the rest is not written
        lock.unlock();
        const bool written = skip || write_(*frame, error);
        lock.lock();
        if (!written && !failed_) {
            failed_ = true;
            error_ = error;
        }
        free_.push_back(frame);
        lock.unlock();
        freed_.notify_all();
    }
}

bool FramePipeline::finish(std::string &error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    queued_or_closing_.notify_all();
    for (std::thread &thread : threads_) thread.join();
    threads_.clear();
    if (!failed_) return true;
    error = error_;
    return false;
}
