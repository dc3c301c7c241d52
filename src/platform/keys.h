// Keys named apart from any platform's key codes: the ones an app may ask the window for.
#pragma once

enum Key {
    KEY_NONE = 0,
    KEY_SPACE,
    KEY_LEFT,
    KEY_RIGHT,
    KEY_PAGE_UP,
    KEY_PAGE_DOWN,
    KEY_HOME,
    KEY_TAB,
    KEY_L,
    KEY_R,
    KEY_S,
    KEY_DIGIT_1, // KEY_DIGIT_1 + n - 1 is the digit n, 1 to 9
    KEY_DIGIT_9 = KEY_DIGIT_1 + 8,
};

// The window procedure calls press for each key above when pressed, with the context, the key and
// 1 when Shift was held. Press is null unless the app asks for keys.
struct WindowKeySeam {
    void (*press)(void *context, int key, int shift);
    void *context;
};
extern WindowKeySeam WindowKeyHook;
