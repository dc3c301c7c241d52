// A program started with a pipe to its standard input (ffmpeg, for the video), waited for at the
// end. One implementation per platform.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class PipedChild {
  public:
    PipedChild() = default;
    PipedChild(const PipedChild &) = delete;
    PipedChild &operator=(const PipedChild &) = delete;
    ~PipedChild();

    // arguments[0] is the program, looked up on the PATH.
    bool start(const std::vector<std::string> &arguments, std::string &error);
    // False once the child stopped reading.
    bool write(const unsigned char *bytes, std::size_t size);
    // Closes the pipe and waits; false with how the child ended unless it exited with 0. True
    // when nothing was started.
    bool finish(std::string &error);

  private:
    std::string name_;
    intptr_t pipe_ = -1;    // a descriptor, or a HANDLE on Windows
    intptr_t process_ = -1; // a pid, or a HANDLE on Windows
};
