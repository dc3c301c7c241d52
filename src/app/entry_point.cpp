// The process entry point of each platform; everything else is in demo_main.
#include "app/demo_main.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return demo_main();
}
#else
#include "gfx/data_dir.h"

#include <cstring>

int main(int argc, char **argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (!std::strcmp(argv[i], "--data")) data_dir_set(argv[++i]);
    return demo_main();
}
#endif
