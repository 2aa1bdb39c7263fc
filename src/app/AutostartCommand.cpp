#include "app/AutostartCommand.h"

#include "config/CommandLine.h"
#include "config/TextEncoding.h"

// A value that has no ANSI form is left to the registry.
std::optional<std::string> RefusedSyncAddress(const char* commandLine)
{
    if (!IsOwnSyncCommandLine(commandLine))
        return std::nullopt;
    const std::optional<NarrowCommand> command = ParseNarrowCommand(commandLine);
    std::optional<std::string> address = NarrowOfWide(command->switches.at(L"ip").c_str());
    if (!address || IsAcceptedAddress(address->c_str()))
        return std::nullopt;
    return address;
}
