#pragma once

// srv.xml: the default file and the autostart command read from it.

#include "config/TextEncoding.h"

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

// The command read from the file, in GBK.
ConvertedText StoredCommandInGbk(const std::string& utf8);

// Writes the default file where there is none or an empty one; true when it did.
bool WriteDefaultConfig(const char* path);

// Parses the file on its own and frees it. The stored command in GBK; the default command
// when it is missing or not this program's own sync command, empty when the file has no cfg
// element. A file that cannot be parsed shows "Document srv.xml not parsed successfully." and
// gives an empty command.
std::string LoadAutorunCommand(const char* path);
