// Preloaded into the demo: paces its buffer swaps as a 60 Hz display with vertical sync would.
// The frame is finished first, then shown at the next tick of a 60 Hz clock. At exit it writes to
// $SWAP_PACER_OUT how many swaps there were and how many came a tick or more late, that is, how
// far the run was from a steady 60 Hz.
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
    ~Tally() {
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
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    static Finish finish = reinterpret_cast<Finish>(SDL_GL_GetProcAddress("glFinish"));
    if (finish) finish();
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long tick = (now.tv_sec * 1000000000LL + now.tv_nsec) / Period * Period + Period;
    if (Swaps.swaps++ > 0 && tick > Swaps.last_tick + Period) ++Swaps.late;
    Swaps.last_tick = tick;
    const timespec at = {static_cast<time_t>(tick / 1000000000LL),
                         static_cast<long>(tick % 1000000000LL)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
    real(window);
}
