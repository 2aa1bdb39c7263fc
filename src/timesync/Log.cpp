#include "timesync/Log.h"

#include <cstdarg>

namespace {

constexpr int kLogBufferSize = 1024;

// The edit control clamps a position beyond its text to the end; the length in bytes is never
// short of the end, however the control counts its characters.
void InsertAtEnd(HWND logBox, const char* text)
{
    const WPARAM end = static_cast<WPARAM>(GetWindowTextLengthA(logBox));
    SendMessageA(logBox, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageA(logBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    SendMessageA(logBox, EM_SCROLLCARET, 0, 0);
}

}  // namespace

void AppendLog(HWND logBox, const char* format, ...)
{
    if (!logBox)
        return;
    char text[kLogBufferSize] = {};
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);  // cuts at 1023 bytes by itself
    va_end(args);
    InsertAtEnd(logBox, text);
}
