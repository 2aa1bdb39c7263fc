#include "config/SyncCommand.h"

#include "config/CommandArguments.h"
#include "config/TextEncoding.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <exception>

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

// A file name or extension longer than the splitter's buffers makes it fail: the
// result is then empty rather than a cut-off name.
std::string FileNameOfFirstArgument(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    ArgumentVector arguments(wide.c_str());
    if (!arguments.IsValid() || arguments.Count() < 1)
        return std::string();
    wchar_t name[_MAX_FNAME] = {};
    wchar_t extension[_MAX_EXT] = {};
    if (_wsplitpath_s(arguments.Values()[0], nullptr, 0, nullptr, 0, name, _MAX_FNAME,
                      extension, _MAX_EXT) != 0)
        return std::string();
    if (!name[0])
        return std::string();
    WideToNarrow narrow(name);
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
