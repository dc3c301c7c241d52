// The message queue and the window procedure on SDL2.
//   [x] close request, SDL_QUIT (also raised for SIGINT and SIGTERM) and Escape: quit request
//   [x] typed y, Y and p: rebuild the programs; capital P and everything else: nothing
//   [x] the whole queue is drained by the caller every pass
//   [x] the keys of keys.h, first presses only, to WindowKeyHook with its context when it is set
#include "platform/events.h"
#include "platform/window.h"

#include <SDL.h>
#include <cstring>

static_assert(sizeof(SDL_Event) <= sizeof(Message::native), "an SDL event must fit a message");

int message_peek(Message *message) {
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return 0;
    message->quit = event.type == SDL_QUIT;
    std::memcpy(message->native, &event, sizeof event);
    return 1;
}

static int studio_key(SDL_Keycode code) {
    if (code >= SDLK_1 && code <= SDLK_9) return KEY_DIGIT_1 + (code - SDLK_1);
    switch (code) {
    case SDLK_SPACE:
        return KEY_SPACE;
    case SDLK_LEFT:
        return KEY_LEFT;
    case SDLK_RIGHT:
        return KEY_RIGHT;
    case SDLK_PAGEUP:
        return KEY_PAGE_UP;
    case SDLK_PAGEDOWN:
        return KEY_PAGE_DOWN;
    case SDLK_HOME:
        return KEY_HOME;
    case SDLK_TAB:
        return KEY_TAB;
    case SDLK_l:
        return KEY_L;
    case SDLK_r:
        return KEY_R;
    case SDLK_s:
        return KEY_S;
    default:
        return KEY_NONE;
    }
}

static void post_quit_message() {
    SDL_Event quit;
    std::memset(&quit, 0, sizeof quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void message_dispatch(const Message *message) {
    SDL_Event event;
    std::memcpy(&event, message->native, sizeof event);
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) post_quit_message();
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) post_quit_message();
        if (WindowKeyHook.press && !event.key.repeat) {
            int key = studio_key(event.key.keysym.sym);
            if (key != KEY_NONE)
                WindowKeyHook.press(WindowKeyHook.context, key,
                                    (event.key.keysym.mod & KMOD_SHIFT) != 0);
        }
        break;
    case SDL_TEXTINPUT:
        for (const char *c = event.text.text; *c; ++c)
            if ((*c == 'y' || *c == 'Y' || *c == 'p') && WindowRebuildHook) WindowRebuildHook();
        break;
    default:
        break;
    }
}
