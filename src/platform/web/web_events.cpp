// The message queue in the browser: key presses queued by the page's handlers, drained each frame.
//   [x] Esc: quit request (in fullscreen the browser takes the first Esc to leave fullscreen)
//   [x] y, Y, p: the page fetches the nine shader files anew, then a rebuild message is queued, so
//       the rebuild falls between two frames as natively; capital P and other keys: nothing
//   [ ] the studio's keys: the browser plays the plain demo
#include "platform/events.h"
#include "platform/window.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <cstring>

namespace {

enum WebMessage { WEB_QUIT = 1, WEB_REBUILD = 2 };

constexpr int QueueSize = 64;
int Queue[QueueSize];
int Head = 0, Count = 0;
bool Listening = false;

void post(int kind) {
    if (Count == QueueSize) return; // a flood of keys loses its newest, never a frame
    Queue[(Head + Count++) % QueueSize] = kind;
}

EM_JS(void, web_refetch_shaders, (), { Module.webPage.refetchShaders(); });

EM_BOOL key_down(int, const EmscriptenKeyboardEvent *event, void *) {
    if (std::strcmp(event->key, "Escape") == 0) {
        post(WEB_QUIT);
        return EM_TRUE;
    }
    if (!event->repeat && (std::strcmp(event->key, "y") == 0 || std::strcmp(event->key, "Y") == 0 ||
                           std::strcmp(event->key, "p") == 0)) {
        web_refetch_shaders();
        return EM_TRUE;
    }
    return EM_FALSE;
}

void listen() {
    if (Listening) return;
    Listening = true;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, key_down);
}

} // namespace

// The page calls this once the refetched shader files are in place.
extern "C" EMSCRIPTEN_KEEPALIVE void web_shaders_fetched() {
    post(WEB_REBUILD);
}

int message_peek(Message *message) {
    listen();
    if (Count == 0) return 0;
    const int kind = Queue[Head];
    Head = (Head + 1) % QueueSize, --Count;
    message->quit = kind == WEB_QUIT;
    std::memcpy(message->native, &kind, sizeof kind);
    return 1;
}

void message_dispatch(const Message *message) {
    int kind = 0;
    std::memcpy(&kind, message->native, sizeof kind);
    if (kind == WEB_REBUILD && WindowRebuildHook) WindowRebuildHook();
}
