// The process entry point of each platform; everything else is in demo_main.
#include "app/demo_main.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return demo_main();
}
#else
int main() {
    return demo_main();
}
#endif
