// The system clipboard.
#pragma once

// Offers the text to other programs as plain text, replacing what the clipboard held, and keeps it
// there after the process exits. An empty text leaves the clipboard alone. False when the text did
// not reach the clipboard.
bool copy_to_clipboard(const char *text);
