// "frame 120/9062  4.1 fps  eta 36:12" on stderr, only when stderr is a terminal.
#pragma once
#include <chrono>
#include <cstddef>

class Progress {
  public:
    explicit Progress(std::size_t total);
    void step();
    void finish();

  private:
    void print();
    std::size_t total_;
    std::size_t done_ = 0;
    bool enabled_;
    std::chrono::steady_clock::time_point start_, last_;
};
