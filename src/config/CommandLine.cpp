#include "config/CommandLine.h"

#include "config/TextEncoding.h"
#include "framework/AfxApp.h"

#include <shellapi.h>

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

bool StartsOwnExecutableWithIp(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    ArgumentVector arguments(wide.c_str());
    if (!arguments.IsValid() || arguments.Count() < 1)
        return false;
    const ArgumentMap switches = ParseArguments(arguments.Values(), arguments.Count());
    if (switches.count(L"ip") == 0)
        return false;
    return IsRunningExecutable(arguments.Values()[0]);
}

// Empty when the text has no form in the ANSI code page.
std::string ToAnsi(const std::wstring& text)
{
    try {
        return WideToNarrow(text.c_str()).c_str();
    } catch (const std::exception&) {
        return std::string();
    }
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
    return ToAnsi(ip->second);
}

std::optional<std::string> SyncAddress(const ArgumentMap& arguments, int count)
{
    std::optional<std::string> value = SyncSwitchValue(arguments, count);
    if (!value || !IsAcceptedAddress(value->c_str()))
        return std::nullopt;
    return value;
}

bool IsRunningExecutable(const wchar_t* path)
{
    const std::string ownPath = AfxGetModuleFileName();
    return path && !ownPath.empty() && _wcsicmp(NarrowToWide(ownPath.c_str()).c_str(), path) == 0;
}

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
