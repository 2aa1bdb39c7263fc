#include "app/ArgumentVector.h"

#include <shellapi.h>

ArgumentVector::ArgumentVector(const wchar_t* commandLine)
{
    m_values = CommandLineToArgvW(commandLine ? commandLine : L"", &m_count);
    if (!m_values)
        m_count = 0;
}

ArgumentVector::~ArgumentVector()
{
    if (m_values)
        LocalFree(m_values);
}

std::wstring ExecutablePathW()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        // A full buffer may mean a truncated path: try again with more room.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
