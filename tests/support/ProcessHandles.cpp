#include "support/ProcessHandles.h"

#include <winternl.h>

#include <algorithm>
#include <vector>

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr size_t kLargestTable = 64u << 20;

// The table is its entry count, then the entries.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType, flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

using QuerySystemInformation = NTSTATUS(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

// The table grows between calls when other processes open handles: the buffer grows until
// the whole table fits.
int CountHandlesOf(DWORD processId)
{
    auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    std::vector<char> buffer(1 << 20);
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
               kInfoLengthMismatch &&
           buffer.size() < kLargestTable)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto owned = [&](const SystemHandleEntry& entry) { return entry.ownerProcessId == processId; };
    return static_cast<int>(std::count_if(entries, entries + count, owned));
}
