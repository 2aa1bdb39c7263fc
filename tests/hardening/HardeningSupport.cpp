#include "HardeningSupport.h"

#include "support/ProcessHandles.h"
#include "support/RemoteControls.h"

#include <sstream>
#include <vector>

namespace {

// The window and all of its descendants.
int WindowsFrom(HWND window)
{
    int count = 1;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        count += WindowsFrom(child);
    return count;
}

// The process's top-level windows and all of theirs.
int CountWindowsOf(DWORD processId)
{
    int count = 0;
    for (HWND window : TopLevelWindowsOf(processId))
        count += WindowsFrom(window);
    return count;
}

// Wine runs each Windows process in a Unix process whose command line starts with the
// Windows path of its executable; its open descriptors are listed in /proc/<pid>/fd.
int CountUnixDescriptors(const std::string& exePath)
{
    for (const std::string& name : FolderEntries("Z:\\proc\\")) {
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string folder = "Z:\\proc\\" + name + "\\";
        const std::string commandLine = ReadFileBytes(folder + "cmdline");
        if (commandLine.compare(0, exePath.size() + 1, exePath + '\0', 0, exePath.size() + 1) == 0)
            return static_cast<int>(FolderEntries(folder + "fd\\").size());
    }
    return -1;
}

}  // namespace

ProcessHoldings MeasureHoldings(const ZorvaneProcess& process)
{
    return {CountHandlesOf(process.pid()), CountWindowsOf(process.pid()), CountUnixDescriptors(process.exePath()),
            OpenTimeConnections()};
}

// /proc/net/tcp: "sl local rem st ...", addresses as little-endian hex "0104007F:0025" (the heading
// line's "rem_address" matches none).
int OpenTimeConnections()
{
    std::istringstream table(ReadFileBytes("Z:\\proc\\net\\tcp"));
    int count = 0;
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const bool toOurBlock = remote.size() == 13 && remote.compare(2, 6, "04007F") == 0 &&
                                remote.compare(8, 5, ":0025") == 0;
        const bool held = state == "01" || state == "02" || state == "08";
        count += toOurBlock && held ? 1 : 0;
    }
    return count;
}
