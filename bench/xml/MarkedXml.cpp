// The memory of one read of the srv.xml named on the command line by the program's own reader:
// "marked-xml <1 when the command was read, else 0> <working set before> <peak working set>",
// in KiB. One file per process, since the peak is the process's.
#include "config/StoredCommand.h"
#include "support/Dialogs.h"

#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <string>

namespace {

PROCESS_MEMORY_COUNTERS OwnMemory()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const SIZE_T before = OwnMemory().WorkingSetSize;
    std::string command;
    AnswerMessageBoxesDuring([&] { command = LoadAutorunCommand(argv[1]); });
    std::printf("marked-xml %d %lu %lu\n", command.empty() ? 0 : 1, static_cast<unsigned long>(before >> 10),
                static_cast<unsigned long>(OwnMemory().PeakWorkingSetSize >> 10));
    return 0;
}
