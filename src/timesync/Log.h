#pragma once

#include <windows.h>

// Formats the text (wvsprintfA dialect, at most 1023 bytes) and appends it to the end of the
// log box, wherever the user left the caret, and scrolls the end into view. A null log box
// drops the text.
void AppendLog(HWND logBox, const char* format, ...);
