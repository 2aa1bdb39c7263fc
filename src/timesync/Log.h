#pragma once

#include <windows.h>

// Formats the text (wvsprintfA dialect, at most 1023 bytes) and inserts it at the
// log box's caret. A null log box drops the text.
void AppendLog(HWND logBox, const char* format, ...);
