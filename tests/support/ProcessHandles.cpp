#include "support/ProcessHandles.h"

#include <winternl.h>

#include <algorithm>
#include <vector>

// The table grows between calls when other processes open handles: the buffer grows until
// the whole table fits.
int CountHandlesOf(DWORD processId)
{
    constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const auto& table = *reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    const auto owned = [&](const SYSTEM_HANDLE_ENTRY& entry) { return entry.OwnerPid == processId; };
    return static_cast<int>(std::count_if(table.Handle, table.Handle + table.Count, owned));
}
