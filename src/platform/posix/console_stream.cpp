// Console text on POSIX: the standard streams.
//   [x] usage and notes on standard output, a bad option's reason on standard error
#include "platform/console.h"

#include <cstdio>

void console_write(const char *text, int kind) {
    std::FILE *stream = kind == CONSOLE_ERROR ? stderr : stdout;
    std::fputs(text, stream);
    std::fflush(stream);
}
