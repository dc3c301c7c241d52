// A few lines of checking for the Windows-side programs: no test framework ships for MinGW.
#pragma once
#include <cstdio>

extern int CheckCount;
extern int CheckFailures;

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        ++CheckCount;                                                                              \
        if (!(condition)) {                                                                        \
            ++CheckFailures;                                                                       \
            std::printf("%s:%d: failed: %s\n", __FILE__, __LINE__, #condition);                    \
        }                                                                                          \
    } while (0)

void window_checks();
void midi_checks();
void clipboard_checks();
void context_checks();
void file_replace_checks();
