// The window's state that the core reads and sets, one definition for every platform.
#include "platform/keys.h"
#include "platform/window.h"

int WindowWidth = 0;
int WindowHeight = 0;
void *MainWindowHandle = nullptr;
void (*WindowRebuildHook)() = nullptr;
WindowKeySeam WindowKeyHook = {nullptr, nullptr};
int WindowCursorShown = 0;
