#include "config/CommandLine.h"

#include "config/TextEncoding.h"
#include "framework/AfxApp.h"

#include <shellapi.h>

#include <cstdlib>
#include <cwchar>

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

// With exactly two arguments the map holds one switch, whose value is the second argument.
std::optional<std::string> SyncSwitchValue(const ArgumentMap& arguments, int count)
{
    const auto ip = arguments.find(L"ip");
    if (count != 3 || ip == arguments.end())
        return std::nullopt;
    return NarrowOfWide(ip->second.c_str()).value_or(std::string());
}

std::optional<std::string> SyncAddress(const ArgumentMap& arguments, int count)
{
    std::optional<std::string> value = SyncSwitchValue(arguments, count);
    if (!value || !IsAcceptedAddress(value->c_str()))
        return std::nullopt;
    return value;
}

// This program's path as the platform holds it: its ANSI form has '?' for each character the
// code page lacks, and would match a command naming another folder.
bool IsRunningExecutable(const wchar_t* path)
{
    const std::wstring ownPath = AfxGetModuleFileNameW();
    return path && !ownPath.empty() && _wcsicmp(ownPath.c_str(), path) == 0;
}

std::optional<NarrowCommand> ParseNarrowCommand(const char* commandLine)
{
    const std::optional<std::wstring> wide = WideOfNarrow(commandLine);
    if (!wide)
        return std::nullopt;
    ArgumentVector arguments(wide->c_str());
    if (!arguments.IsValid() || arguments.Count() < 1)
        return std::nullopt;
    return NarrowCommand{arguments.Values()[0],
                         ParseArguments(arguments.Values(), arguments.Count()), arguments.Count()};
}

bool IsOwnSyncCommandLine(const char* commandLine)
{
    if (!commandLine || !*commandLine)
        return false;
    const std::optional<NarrowCommand> command = ParseNarrowCommand(commandLine);
    return command && HasSyncSwitch(*command) && IsRunningExecutable(command->program.c_str());
}

bool HasSyncSwitch(const NarrowCommand& command)
{
    return command.switches.count(L"ip") != 0;
}

std::string ProgramNameOfCommand(const char* commandLine)
{
    const std::optional<NarrowCommand> command = ParseNarrowCommand(commandLine ? commandLine : "");
    return command ? ProgramNameOfCommand(*command) : std::string();
}

std::string ProgramNameOfCommand(const NarrowCommand& command)
{
    return NarrowOfWide(FileBaseName(command.program).c_str()).value_or(std::string());
}
