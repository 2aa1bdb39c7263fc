#pragma once

#include <optional>
#include <string>

// The address of a command that starts this program with "/ip", when start-up's own address
// check refuses it: written as the autostart value, it would show the usage box at every
// log-on instead of syncing. Nothing for any other command.
std::optional<std::string> RefusedSyncAddress(const char* commandLine);
