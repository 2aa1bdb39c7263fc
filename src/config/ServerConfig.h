#pragma once

#include <windows.h>

#include <cstddef>
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

// Each read parses the file on its own and frees it. A file that cannot be parsed shows
// "Document srv.xml not parsed successfully."; the command is then empty, the list unchanged.
// The stored command in GBK; the default command when it is missing or not this program's
// own sync command, empty when the file has no cfg element.
std::string LoadAutorunCommand(const char* path);
// Appends a row for every srv element with a name and an address.
void LoadServerList(const char* directory, HWND listView);
// True when the file now holds the command. A file that cannot be parsed or saved is left
// as it was.
bool StoreAutorunCommand(const char* directory, const char* command);
