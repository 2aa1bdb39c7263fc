#include "app/CommandLine.h"

#include "app/ArgumentVector.h"
#include "config/TextEncoding.h"

#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <exception>

namespace {

// The switch name: the argument without its first character, whatever that is.
std::wstring KeyOfArgument(const wchar_t* argument)
{
    if (!argument || !*argument)
        return std::wstring();
    return std::wstring(argument + 1);
}

bool IsDigitsOnly(const std::string& text)
{
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
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

// strtok's rules: runs of dots separate, leading and trailing dots vanish.
int SplitAtDots(const char* text, std::array<std::string, 4>& pieces)
{
    pieces.fill(std::string());
    if (!text)
        return 0;
    const std::string copy(text);
    int count = 0;
    size_t position = copy.find_first_not_of('.');
    while (position != std::string::npos) {
        if (count == static_cast<int>(pieces.size()))
            break;  // a fifth piece: the first four are all we keep
        size_t end = copy.find('.', position);
        pieces[count++] = copy.substr(position, end == std::string::npos ? std::string::npos
                                                                          : end - position);
        position = end == std::string::npos ? end : copy.find_first_not_of('.', end);
    }
    return count;
}

bool IsAcceptedAddress(const char* text)
{
    std::array<std::string, 4> pieces;
    if (SplitAtDots(text, pieces) != 4)
        return false;
    for (const std::string& piece : pieces) {
        if (!IsDigitsOnly(piece))
            return false;
    }
    return true;
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
