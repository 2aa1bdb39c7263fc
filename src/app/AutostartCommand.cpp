#include "app/AutostartCommand.h"

#include "config/CommandLine.h"
#include "config/TextEncoding.h"

#include <exception>

namespace {

std::string IpSwitchValue(const char* commandLine)
{
    NarrowToWide wide(commandLine);
    ArgumentVector arguments(wide.c_str());
    const ArgumentMap switches = ParseArguments(arguments.Values(), arguments.Count());
    return WideToNarrow(switches.at(L"ip").c_str()).c_str();
}

}  // namespace

// The conversions throw when the platform refuses them; such a command is left to the registry.
std::optional<std::string> RefusedSyncAddress(const char* commandLine)
{
    if (!IsOwnSyncCommandLine(commandLine))
        return std::nullopt;
    try {
        const std::string address = IpSwitchValue(commandLine);
        if (IsAcceptedAddress(address.c_str()))
            return std::nullopt;
        return address;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
