// Preloaded into the demo: paces its buffer swaps as a 60 Hz display with vertical sync would.
// The frame is finished first, then shown at the next tick of a 60 Hz clock. At exit it writes to
// $SWAP_PACER_OUT how many swaps there were and how many came a tick or more late, that is, how
// far the run was from a steady 60 Hz. With $SWAP_PACER_LOG set it also writes a line a swap: the
// wall clock in microseconds when the swap returned and the red level (0..255) of the picture's
// middle, so that a change seen in the screen grab can be dated by the swap that made it.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>

namespace {

constexpr long long Period = 1000000000LL / 60;

struct Tally {
    long swaps = 0, late = 0;
    long long last_tick = 0;
    std::FILE *log =
        std::getenv("SWAP_PACER_LOG") ? std::fopen(std::getenv("SWAP_PACER_LOG"), "w") : nullptr;
    ~Tally() {
        if (log) std::fclose(log);
        if (const char *out = std::getenv("SWAP_PACER_OUT"))
            if (std::FILE *f = std::fopen(out, "w")) {
                std::fprintf(f, "%ld %ld\n", swaps, late);
                std::fclose(f);
            }
    }
} Swaps;

} // namespace

extern "C" void SDL_GL_SwapWindow(SDL_Window *window) {
    using Swap = void (*)(SDL_Window *);
    using Finish = void (*)();
    using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void *);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static Finish finish = reinterpret_cast<Finish>(SDL_GL_GetProcAddress("glFinish"));
    static ReadPixels read = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
    if (finish) finish();
    unsigned char middle[4] = {};
    if (Swaps.log && read) {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        read(w / 2, h / 2, 1, 1, 0x1908 /* GL_RGBA */, 0x1401 /* GL_UNSIGNED_BYTE */, middle);
    }
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long tick = (now.tv_sec * 1000000000LL + now.tv_nsec) / Period * Period + Period;
    if (Swaps.swaps++ > 0 && tick > Swaps.last_tick + Period) ++Swaps.late;
    Swaps.last_tick = tick;
    const timespec at = {static_cast<time_t>(tick / 1000000000LL),
                         static_cast<long>(tick % 1000000000LL)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
    real(window);
    if (Swaps.log) {
        timespec wall;
        clock_gettime(CLOCK_REALTIME, &wall);
        std::fprintf(Swaps.log, "%lld %d\n", wall.tv_sec * 1000000LL + wall.tv_nsec / 1000,
                     middle[0]);
    }
}
