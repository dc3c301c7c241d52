// Text for whoever started the program: the usage, a bad option's reason, the studio's figures.
#pragma once

enum ConsoleKind {
    CONSOLE_OUT,   // standard output
    CONSOLE_ERROR, // standard error
    CONSOLE_NOTE,  // standard output, and nowhere when there is no console
};

// On the terminal the program was started from. On Windows, where the demo is a GUI program,
// text other than a note goes to a message box when there is no console.
void console_write(const char *text, int kind);
