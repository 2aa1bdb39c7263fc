#pragma once

// srv.xml: the default servers and command, and the default file made of them.

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

// The default command in UTF-8 as it goes into a buffer of bufferSize bytes: cut before the
// first character that does not fit with its terminator.
std::string DefaultCommandInUtf8(const std::string& gbkCommand, size_t bufferSize);

// Writes the default file where there is none or an empty one; true when it did.
bool WriteDefaultConfig(const char* path);

// The same with another autostart command (UTF-8); error receives the system's code when
// nothing was written.
bool WriteDefaultConfigHolding(const char* path, const std::string& utf8Command, DWORD* error);
