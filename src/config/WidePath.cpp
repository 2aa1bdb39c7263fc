#include "config/WidePath.h"

#include <windows.h>

#include <cstring>
#include <new>

std::unique_ptr<wchar_t[]> MakeWidePath(const char* path)
{
    if (!path)
        return nullptr;
    // A narrow character never yields more than one UTF-16 unit, so length + 1 always fits.
    const size_t length = std::strlen(path);
    if (length >= static_cast<size_t>(INT_MAX))
        return nullptr;
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[length + 1]);
    if (!wide)
        return nullptr;
    if (MultiByteToWideChar(CP_THREAD_ACP, 0, path, -1, wide.get(), static_cast<int>(length + 1)) == 0)
        return nullptr;
    return wide;
}
