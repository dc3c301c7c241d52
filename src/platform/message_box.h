// Modal message boxes for the failures a user must see.
#pragma once

// A plain box (OK) has no icon of alarm; a warning has the warning icon.
enum MessageBoxKind { MESSAGE_BOX_OK = 0, MESSAGE_BOX_WARNING = 0x30 };

void message_box(void *owner, const char *text, const char *caption, int kind);

// When set, boxes go here instead of the screen (tests capture them this way).
extern void (*MessageBoxHook)(void *owner, const char *text, const char *caption, int kind);
