// Message boxes on SDL2.
//   [x] warning icon for warnings, no error icon for plain boxes (the information type), owned by
//       the window where one exists
//   [x] no display at all: the same text goes to stderr, so no failure is ever silent
#include "platform/message_box.h"

#include <SDL.h>
#include <cstdio>

void (*MessageBoxHook)(void *owner, const char *text, const char *caption, int kind) = nullptr;

void message_box(void *owner, const char *text, const char *caption, int kind) {
    if (MessageBoxHook) {
        MessageBoxHook(owner, text, caption, kind);
        return;
    }
    Uint32 flags =
        kind == MESSAGE_BOX_WARNING ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
    if (SDL_ShowSimpleMessageBox(flags, caption, text, static_cast<SDL_Window *>(owner)) != 0)
        std::fprintf(stderr, "%s: %s\n", caption, text);
}
