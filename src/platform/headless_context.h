// An OpenGL context with no visible window, for tools and tests.
#pragma once

// Nonzero on success; the context is current on the calling thread.
int headless_context_init(int width, int height);
void headless_context_end();
// Why the last headless_context_init failed.
const char *headless_context_error();
