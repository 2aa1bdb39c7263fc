#include "config/ShortcutPath.h"

#include "ProductTitle.h"
#include "framework/NarrowText.h"

#include <windows.h>

#include <cstring>

const char kShortcutFileName[] = ZORVANE_TITLE ".lnk";

bool EndsWithBackslash(const char* path)
{
    const char* last = nullptr;
    for (size_t i = 0; path[i]; i += CharacterLength(path, i))
        last = path + i;
    return last && *last == '\\';
}

bool AppendShortcutFileName(char* buffer, size_t capacity)
{
    const size_t folderLength = strnlen(buffer, capacity);
    const bool addSeparator = !EndsWithBackslash(buffer);
    const size_t total = folderLength + (addSeparator ? 1 : 0) + std::strlen(kShortcutFileName);
    // An unknown folder would leave a bare file name, which resolves outside the desktop.
    if (folderLength == 0 || folderLength == capacity || total + 2 > capacity) {
        std::memset(buffer, 0, capacity);
        return false;
    }
    char* end = buffer + folderLength;
    if (addSeparator)
        *end++ = '\\';
    std::memcpy(end, kShortcutFileName, std::strlen(kShortcutFileName));
    buffer[total] = '\0';
    buffer[total + 1] = '\0';
    return true;
}
