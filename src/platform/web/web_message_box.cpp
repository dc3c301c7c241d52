// Message boxes in the browser: a box on the page over the picture.
//   [x] the caption and the text; the frames go on behind it (a page cannot hold its loop)
//   [x] a later box replaces the earlier one; the page's button closes it
#include "platform/message_box.h"

#include <emscripten.h>

void (*MessageBoxHook)(void *owner, const char *text, const char *caption, int kind) = nullptr;

EM_JS(void, web_show_box, (const char *caption, const char *text, int warning),
      { Module.webPage.showBox(UTF8ToString(caption), UTF8ToString(text), warning); });

void message_box(void *owner, const char *text, const char *caption, int kind) {
    if (MessageBoxHook) {
        MessageBoxHook(owner, text, caption, kind);
        return;
    }
    web_show_box(caption, text, kind == MESSAGE_BOX_WARNING);
}
