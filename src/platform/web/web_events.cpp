// The message queue in the browser: key presses queued by the page's handlers, drained each frame.
//   [x] Esc: quit request (in fullscreen the browser takes the first Esc to leave fullscreen)
//   [x] y, Y, p: the page fetches the nine shader files anew, then a rebuild message is queued, so
//       the rebuild falls between two frames as natively; capital P and other keys: nothing
//   [x] the studio's keys, by their place on the keyboard (Shift+1 is still 1); in the studio the
//       page writes the editor's texts for y, Y and p, fetching nothing
//   [x] in the studio every key acts only while the picture has the focus, so typing in the editor
//       never seeks or rebuilds, and the browser's own use of a studio key (Tab, Space, Page
//       Up/Down) never fires there
//   [ ] a held key repeats nothing, as natively
#include "platform/events.h"
#include "platform/window.h"

#include <emscripten.h>
#include <emscripten/html5.h>
#include <cstring>

namespace {

enum WebMessage { WEB_QUIT = 1, WEB_REBUILD = 2, WEB_KEY = 16 }; // WEB_KEY + 2 * key + shift

constexpr int QueueSize = 64;
int Queue[QueueSize];
int Head = 0, Count = 0;
bool Listening = false;

void post(int kind) {
    if (Count == QueueSize) return; // a flood of keys loses its newest, never a frame
    Queue[(Head + Count++) % QueueSize] = kind;
}

EM_JS(void, web_refetch_shaders, (), { Module.webPage.refetchShaders(); });

struct KeyCode {
    const char *code;
    int key;
};
const KeyCode StudioKeys[] = {{"Space", KEY_SPACE},
                              {"ArrowLeft", KEY_LEFT},
                              {"ArrowRight", KEY_RIGHT},
                              {"PageUp", KEY_PAGE_UP},
                              {"PageDown", KEY_PAGE_DOWN},
                              {"Home", KEY_HOME},
                              {"Tab", KEY_TAB},
                              {"KeyL", KEY_L},
                              {"KeyR", KEY_R},
                              {"KeyS", KEY_S}};

int studio_key(const char *code) {
    if (std::strncmp(code, "Digit", 5) == 0 && code[5] >= '1' && code[5] <= '9' && !code[6])
        return KEY_DIGIT_1 + (code[5] - '1');
    for (const KeyCode &known : StudioKeys)
        if (std::strcmp(code, known.code) == 0) return known.key;
    return KEY_NONE;
}

EM_BOOL key_down(int, const EmscriptenKeyboardEvent *event, void *) {
    const bool studio = WindowKeyHook.press != nullptr;
    if (std::strcmp(event->key, "Escape") == 0) {
        post(WEB_QUIT);
        return EM_TRUE;
    }
    if (std::strcmp(event->key, "y") == 0 || std::strcmp(event->key, "Y") == 0 ||
        std::strcmp(event->key, "p") == 0) {
        if (!event->repeat) web_refetch_shaders();
        return EM_TRUE;
    }
    const int key = studio ? studio_key(event->code) : KEY_NONE;
    if (key == KEY_NONE) return EM_FALSE;
    if (!event->repeat) post(WEB_KEY + 2 * key + (event->shiftKey ? 1 : 0));
    return EM_TRUE;
}

void listen() {
    if (Listening) return;
    Listening = true;
    emscripten_set_keydown_callback(WindowKeyHook.press ? "#canvas"
                                                        : EMSCRIPTEN_EVENT_TARGET_DOCUMENT,
                                    nullptr, EM_FALSE, key_down);
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
    if (kind >= WEB_KEY && WindowKeyHook.press)
        WindowKeyHook.press(WindowKeyHook.context, (kind - WEB_KEY) / 2, (kind - WEB_KEY) % 2);
}
