#include "timesync/Log.h"

#include <cstdarg>

namespace {

constexpr int kLogBufferSize = 1024;

void InsertAtCaret(HWND logBox, const char* text)
{
    SendMessageA(logBox, EM_SETSEL, static_cast<WPARAM>(-1), -1);
    SendMessageA(logBox, EM_SCROLLCARET, 0, 0);
    SendMessageA(logBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
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
    InsertAtCaret(logBox, text);
}
