#include "config/SyncCommand.h"

#include "config/CommandArguments.h"
#include "config/TextEncoding.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <exception>

// Not _wsplitpath_s: on Windows a name too long for its buffers ends the process through
// the runtime's invalid-parameter handler instead of returning an error.
std::wstring FileBaseName(const std::wstring& path)
{
    constexpr size_t kLongestName = _MAX_FNAME - 1;
    constexpr size_t kLongestExtension = _MAX_EXT - 1;
    size_t start = path.size() >= 2 && path[1] == L':' ? 2 : 0;
    const size_t lastSeparator = path.find_last_of(L"\\/");
    if (lastSeparator != std::wstring::npos && lastSeparator >= start)
        start = lastSeparator + 1;
    size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || dot < start)
        dot = path.size();
    if (dot - start > kLongestName || path.size() - dot > kLongestExtension)
        return std::wstring();
    return path.substr(start, dot - start);
}

namespace {

bool StartsOwnExecutableWithIp(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    ArgumentVector arguments(wide.c_str());
    if (!arguments.IsValid() || arguments.Count() < 1)
        return false;
    const ArgumentMap switches = ParseArguments(arguments.Values(), arguments.Count());
    if (switches.count(L"ip") == 0)
        return false;
    const std::wstring ownPath = ExecutablePathW();
    return !ownPath.empty() && _wcsicmp(ownPath.c_str(), arguments.Values()[0]) == 0;
}

std::string FileNameOfFirstArgument(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    ArgumentVector arguments(wide.c_str());
    if (!arguments.IsValid() || arguments.Count() < 1)
        return std::string();
    const std::wstring name = FileBaseName(arguments.Values()[0]);
    if (name.empty())
        return std::string();
    WideToNarrow narrow(name.c_str());
    return narrow.c_str();
}

}  // namespace

// The conversions throw when the platform refuses them; no exception leaves here.
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

std::string ProgramNameOfCommand(const char* commandLine)
{
    try {
        return FileNameOfFirstArgument(commandLine ? commandLine : "");
    } catch (const std::exception&) {
        return std::string();
    }
}
