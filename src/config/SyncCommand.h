#pragma once

#include <string>

// The autostart command, as srv.xml keeps it and the registry value holds it.

// The file name without folder and extension, split as the C runtime splits paths: an "X:"
// drive first, folders up to the last \ or /, the extension from the last dot on. Empty when
// the name or the extension (its dot included) is longer than 255 UTF-16 units, the limits
// of the runtime's _MAX_FNAME and _MAX_EXT buffers.
std::wstring FileBaseName(const std::wstring& path);

// True when the command starts this very executable with an "ip" switch.
bool IsOwnSyncCommandLine(const char* commandLine);

// The file name of the command's program without folder and extension; empty when there is
// none (or it is longer than a file name can be).
std::string ProgramNameOfCommand(const char* commandLine);
