#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>

struct ServerEntry {
    const char* host;
    const char* address;
};

constexpr int kDefaultServerCount = 7;
extern const ServerEntry DefaultServers[kDefaultServerCount];

// The first default server's address, used by the default command, usage and help texts.
const char* FirstDefaultAddress();

// "\"<exePath>\" /ip <first default address>"
std::string DefaultAutorunCommand(const char* exePath);

// "<directory>srv.xml"; the directory keeps its trailing separator.
std::string ConfigPathIn(const char* directory);

bool EnsureConfigFile(const char* path);
int GetDirectoryPart(const char* path, char* buffer, size_t capacity);
bool CreateDirectoryChain(const char* directory);
// Writes the default file where there is none or an empty one; true when it did.
bool WriteDefaultConfig(const char* path);

// srv.xml read once for the main window's start: the autostart command while the window is
// built, the server rows once its list exists. A file that cannot be parsed shows its message
// at each of the two uses, so the user sees both the command and the list fail.
class StartupConfig {
public:
    explicit StartupConfig(const char* path);
    ~StartupConfig();
    StartupConfig(const StartupConfig&) = delete;
    StartupConfig& operator=(const StartupConfig&) = delete;

    std::string AutorunCommand() const;
    void FillServerList(HWND listView) const;

private:
    struct Parsed;
    std::unique_ptr<Parsed> m_parsed;
};

// One-off reads, each parsing the file on its own.
std::string LoadAutorunCommand(const char* path);
void LoadServerList(const char* directory, HWND listView);
// True when the file now holds the command. A file that cannot be parsed or saved is left
// as it was.
bool StoreAutorunCommand(const char* directory, const char* command);
