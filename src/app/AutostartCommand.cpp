#include "app/AutostartCommand.h"

#include "config/CommandLine.h"

// A command the platform cannot split is left to the registry.
std::optional<SyncCommandRefusal> RefusedSyncCommand(const char* commandLine)
{
    const std::optional<NarrowCommand> command = ParseNarrowCommand(commandLine ? commandLine : "");
    if (!command || command->count < 2 || !IsRunningExecutable(command->program.c_str()))
        return std::nullopt;
    if (SyncAddress(command->switches, command->count))
        return std::nullopt;
    return SyncCommandRefusal{SyncSwitchValue(command->switches, command->count)};
}
