#include "app/AutostartCommand.h"

#include "config/CommandLine.h"

namespace {

std::optional<SyncCommandRefusal> RefusalOf(const NarrowCommand& command, bool ownProgram)
{
    if (command.count < 2 || !ownProgram || SyncAddress(command.switches, command.count))
        return std::nullopt;
    return SyncCommandRefusal{SyncSwitchValue(command.switches, command.count)};
}

}  // namespace

// This executable's path is read once, and only for a command that has a program; a command
// the platform cannot split is left to the registry.
AutostartCommand SplitAutostartCommand(const char* commandLine)
{
    AutostartCommand result;
    result.text = commandLine ? commandLine : "";
    const std::optional<NarrowCommand> command = ParseNarrowCommand(result.text.c_str());
    if (!command)
        return result;
    const bool ownProgram = IsRunningExecutable(command->program.c_str());
    result.valueName = ProgramNameOfCommand(*command);
    result.ownSync = ownProgram && !result.text.empty() && HasSyncSwitch(*command);
    result.refusal = RefusalOf(*command, ownProgram);
    return result;
}
