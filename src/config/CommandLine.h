#pragma once

// The rules of the program's command lines: the process's own, and the autostart command that
// srv.xml keeps and the registry value holds.

#include <windows.h>

#include <array>
#include <map>
#include <optional>
#include <string>

// Switch name (argument without its first character) to the argument that follows it.
using ArgumentMap = std::map<std::wstring, std::wstring>;

ArgumentMap ParseArguments(const wchar_t* const* argv, int argc);

// The platform's split of a wide command line into arguments (CommandLineToArgvW),
// owning the vector. An empty or null text yields the running executable's path.
class ArgumentVector {
public:
    explicit ArgumentVector(const wchar_t* commandLine);
    ~ArgumentVector();
    ArgumentVector(const ArgumentVector&) = delete;
    ArgumentVector& operator=(const ArgumentVector&) = delete;

    // False when the platform could not split the text; count() is then 0.
    bool IsValid() const { return m_values != nullptr; }
    int Count() const { return m_count; }
    const wchar_t* const* Values() const { return m_values; }

private:
    wchar_t** m_values = nullptr;
    int m_count = 0;
};

// Splits at dots with strtok's rules into at most four pieces; returns their number.
int SplitAtDots(const char* text, std::array<std::string, 4>& pieces);

// Four dot-separated pieces of digits only (a fifth piece and more are not looked at).
bool IsAcceptedAddress(const char* text);

// The file name without folder and extension, split as the C runtime splits paths: an "X:"
// drive first, folders up to the last \ or /, the extension from the last dot on. Empty when
// the name or the extension (its dot included) is longer than 255 UTF-16 units, the limits
// of the runtime's _MAX_FNAME and _MAX_EXT buffers.
std::wstring FileBaseName(const std::wstring& path);

// The value of the "ip" switch in the active code page (empty where it has no form there) when
// the arguments have the sync command's form: exactly two after the program path, the first
// the switch "ip". count includes the program path; arguments is ParseArguments' map of them.
std::optional<std::string> SyncSwitchValue(const ArgumentMap& arguments, int count);

// The address start-up syncs from: the switch value above when IsAcceptedAddress takes it.
// Nothing where start-up answers the arguments with the usage box instead (or, for no
// arguments, opens its window).
std::optional<std::string> SyncAddress(const ArgumentMap& arguments, int count);

// True when the path names this very executable (its wide path), compared without regard to
// case.
bool IsRunningExecutable(const wchar_t* path);

// A narrow (ANSI code page) command line split as start-up splits its own: the first
// argument, and the switches of the arguments after it.
struct NarrowCommand {
    std::wstring program;
    ArgumentMap switches;
    int count = 0;  // arguments, the program's path included
};

// Nothing when the text has no UTF-16 form or the platform cannot split it.
std::optional<NarrowCommand> ParseNarrowCommand(const char* commandLine);

// True when the command starts this very executable with an "ip" switch.
bool IsOwnSyncCommandLine(const char* commandLine);

// The file name of the command's program without folder and extension; empty when there is
// none (or it is longer than a file name can be).
std::string ProgramNameOfCommand(const char* commandLine);

// The same rules for a command split once: the caller checks the program with
// IsRunningExecutable, which reads this executable's path.
bool HasSyncSwitch(const NarrowCommand& command);
std::string ProgramNameOfCommand(const NarrowCommand& command);
