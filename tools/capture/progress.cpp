#include "progress.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#else
#include <unistd.h>
#endif

Progress::Progress(std::size_t total)
    : total_(total), enabled_(isatty(2) != 0), start_(std::chrono::steady_clock::now()),
      last_(start_) {}

void Progress::step() {
    ++done_;
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    // A few updates a second keep the terminal cheap.
    if (done_ < total_ && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    print();
}

void Progress::finish() {
    if (enabled_ && done_ > 0) std::fputc('\n', stderr);
    enabled_ = false;
}

void Progress::print() {
    const double seconds = std::chrono::duration<double>(last_ - start_).count();
    const double rate = seconds > 0.0 ? static_cast<double>(done_) / seconds : 0.0;
    const long eta = rate > 0.0 ? static_cast<long>(static_cast<double>(total_ - done_) / rate) : 0;
    std::fprintf(stderr, "\rframe %zu/%zu  %.1f fps  eta %ld:%02ld:%02ld ", done_, total_, rate,
                 eta / 3600, eta / 60 % 60, eta % 60);
    std::fflush(stderr);
}
