#include "config/CommandArguments.h"

#include <shellapi.h>

namespace {

// The switch name: the argument without its first character, whatever that is.
std::wstring KeyOfArgument(const wchar_t* argument)
{
    if (!argument || !*argument)
        return std::wstring();
    return std::wstring(argument + 1);
}

}  // namespace

ArgumentMap ParseArguments(const wchar_t* const* argv, int argc)
{
    ArgumentMap arguments;
    for (int i = 1; i < argc; ++i) {
        std::wstring key = KeyOfArgument(argv[i]);
        // A repeated key does not take the argument after it: that is read as a key.
        if (arguments.count(key) != 0)
            continue;
        // A key without a following argument is dropped.
        if (i + 1 < argc) {
            arguments.emplace(key, argv[i + 1] ? argv[i + 1] : L"");
            ++i;
        }
    }
    return arguments;
}

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
