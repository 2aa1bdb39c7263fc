#include "app/CommandLine.h"

#include "config/TextEncoding.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <exception>
#include <memory>
#include <vector>

namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* argv) const { LocalFree(argv); }
};
using ArgumentVector = std::unique_ptr<LPWSTR, LocalFreeDeleter>;

std::wstring ModuleFileNameW()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size() - 1)
            return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

bool StartsOwnExecutableWithIp(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    int argc = 0;
    ArgumentVector argv(CommandLineToArgvW(wide.c_str(), &argc));
    if (!argv || argc < 1)
        return false;
    ArgumentMap arguments = ParseArguments(argv.get(), argc);
    if (arguments.find(L"ip") == arguments.end())
        return false;
    return _wcsicmp(ModuleFileNameW().c_str(), argv.get()[0]) == 0;
}

}  // namespace

ArgumentMap ParseArguments(const wchar_t* const* argv, int argc)
{
    ArgumentMap arguments;
    for (int i = 1; i < argc; ++i) {
        const wchar_t* argument = argv[i] ? argv[i] : L"";
        std::wstring key = *argument ? argument + 1 : L"";
        bool hasValue = i + 1 < argc;
        if (hasValue && arguments.find(key) == arguments.end()) {
            arguments.emplace(key, argv[i + 1] ? argv[i + 1] : L"");
            ++i;
        }
    }
    return arguments;
}

bool IsOwnSyncCommandLine(const char* commandLine)
{
    if (!commandLine || !*commandLine)
        return false;
    try {
        return StartsOwnExecutableWithIp(commandLine);
    } catch (const std::exception&) {
        return false;
    }
}
