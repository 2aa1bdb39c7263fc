#pragma once

#include <string>

// The autostart command, as srv.xml keeps it and the registry value holds it.

// True when the command starts this very executable with an "ip" switch.
bool IsOwnSyncCommandLine(const char* commandLine);

// The file name of the command's program without folder and extension; empty when there is
// none (or it is longer than a file name can be).
std::string ProgramNameOfCommand(const char* commandLine);
