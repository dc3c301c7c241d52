// Reads finished frames back through two pixel buffer objects: the frame just drawn is read into
// one while the frame before it is copied out of the other, so the copy does not wait for the
// renderer. Rows come bottom row first, as GL keeps them; the writers flip them where it is free.
#pragma once
#include <cstddef>
#include <string>

class FrameReadback {
  public:
    FrameReadback() = default;
    FrameReadback(const FrameReadback &) = delete;
    FrameReadback &operator=(const FrameReadback &) = delete;
    ~FrameReadback();

    // Two buffers of width x height RGB in the current context; false with a message.
    bool open(int width, int height, std::string &error);
    void close();
    std::size_t frame_bytes() const { return bytes_; }

    // Starts reading the current framebuffer into the next buffer.
    void start();
    // Copies a started frame into `out` (frame_bytes() of room): the one started before the
    // latest, or with `latest` the latest itself. False when there is no such frame.
    bool take(unsigned char *out, bool latest);

  private:
    unsigned buffers_[2] = {0, 0};
    int width_ = 0;
    int height_ = 0;
    std::size_t bytes_ = 0;
    std::size_t started_ = 0;
};
