// The clipboard in the browser: the Clipboard API, and the line kept on the page.
//   [x] the line goes to the clipboard when the browser allows it (a key press shortly before)
//   [x] refused or not: the page shows the line with a button that copies it
//   [ ] the browser answers later: the result is not known here, so true is returned
#include "platform/clipboard.h"

#include <emscripten.h>

EM_JS(void, web_copy, (const char *text), { Module.webPage.copyLine(UTF8ToString(text)); });

bool copy_to_clipboard(const char *text) {
    web_copy(text);
    return true;
}
