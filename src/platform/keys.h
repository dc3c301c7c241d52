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
    KEY_DIGIT_1, // KEY_DIGIT_1 + n - 1 is the digit n, 1 to 9
    KEY_DIGIT_9 = KEY_DIGIT_1 + 8,
};

// Called by the window procedure for each key above when pressed, with 1 when Shift was held.
// Null unless the app asks for keys.
extern void (*WindowKeyHook)(int key, int shift);
