// Preloaded into the demo: writes the milliseconds from process start to the first buffer swap
// to $FIRST_SWAP_OUT, then lets the swap go on.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>

static double process_start_ms() {
    // Field 22 of /proc/self/stat: start time in clock ticks since boot.
    std::FILE *stat = std::fopen("/proc/self/stat", "r");
    if (!stat) return 0;
    char buffer[1024];
    size_t n = std::fread(buffer, 1, sizeof buffer - 1, stat);
    std::fclose(stat);
    buffer[n] = 0;
    char *p = buffer;
    for (int field = 1; field < 22 && *p; ++p)
        if (*p == ' ') ++field;
    return std::strtod(p, nullptr) * 1000.0 / sysconf(_SC_CLK_TCK);
}

extern "C" void SDL_GL_SwapWindow(SDL_Window *window) {
    static bool reported = false;
    using Swap = void (*)(SDL_Window *);
    static Swap real = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    if (!reported) {
        reported = true;
        timespec now;
        clock_gettime(CLOCK_BOOTTIME, &now);
        double ms = now.tv_sec * 1000.0 + now.tv_nsec / 1e6 - process_start_ms();
        if (const char *out = std::getenv("FIRST_SWAP_OUT"))
            if (std::FILE *f = std::fopen(out, "w")) {
                std::fprintf(f, "%.1f\n", ms);
                std::fclose(f);
            }
    }
    real(window);
}
