#include "app/AutostartCommand.h"

#include "config/CommandLine.h"
#include "config/TextEncoding.h"

#include <exception>

// The conversions throw when the platform refuses them; such a command is left to the registry.
std::optional<SyncCommandRefusal> RefusedSyncCommand(const char* commandLine)
{
    try {
        NarrowToWide wide(commandLine ? commandLine : "");
        ArgumentVector arguments(wide.c_str());
        const int count = arguments.Count();
        if (count < 2 || !IsRunningExecutable(arguments.Values()[0]))
            return std::nullopt;
        const ArgumentMap switches = ParseArguments(arguments.Values(), count);
        if (SyncAddress(switches, count))
            return std::nullopt;
        return SyncCommandRefusal{SyncSwitchValue(switches, count)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
