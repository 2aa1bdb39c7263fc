#include "support/ImmutableFolder.h"

#include "support/TempDir.h"
#include "support/WaitFor.h"

#include <windows.h>

#include <cstdlib>

namespace {

// The Unix name of a Windows path, by Wine's own export (UTF-8 there); empty when unknown.
std::wstring UnixPathOf(const std::string& windowsPath)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = {};
    const bool named = toUnix && MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH);
    char* unixPath = named ? toUnix(wide) : nullptr;
    if (!unixPath)
        return {};
    wchar_t result[MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, unixPath, -1, result, MAX_PATH);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// Wine starts a Unix program as it is, with no process to wait for and no exit code: the
// script's status comes back in a file that appears whole (by a rename). -1 when none came.
int RunUnixShell(const std::wstring& script)
{
    TempDir dir("zorvane_sh");
    const std::wstring status = UnixPathOf(dir.file("status"));
    std::wstring line = L"Z:\\bin\\sh -c \"" + script + L"; echo $? >'" + status + L".new' && /bin/mv '" +
                        status + L".new' '" + status + L"'\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (status.empty() || !CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const bool ended = WaitFor([&] { return FileExists(dir.file("status")); }, 15000);
    return ended ? std::atoi(ReadFileBytes(dir.file("status")).c_str()) : -1;
}

}  // namespace

ImmutableFolder::ImmutableFolder(const std::string& parent) : m_path(parent + "immutable")
{
    if (CreateDirectoryA(m_path.c_str(), nullptr))
        m_unixPath = UnixPathOf(m_path);
}

bool ImmutableFolder::Lock()
{
    return !m_unixPath.empty() && RunUnixShell(L"/usr/bin/chattr +i '" + m_unixPath + L"'") == 0;
}

ImmutableFolder::~ImmutableFolder()
{
    if (!m_unixPath.empty())
        RunUnixShell(L"/usr/bin/chattr -i '" + m_unixPath + L"'");
}
