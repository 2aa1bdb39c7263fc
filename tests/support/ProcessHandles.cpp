#include "support/ProcessHandles.h"

#include <winternl.h>

#include <vector>

namespace {

constexpr ULONG kSystemHandleInformation = 16;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr size_t kLargestTable = 64u << 20;

struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
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
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
               kInfoLengthMismatch &&
           buffer.size() < kLargestTable)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    int count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        count += table->entries[i].ownerProcessId == processId ? 1 : 0;
    return count;
}
