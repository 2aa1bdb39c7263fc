#include "support/SystemState.h"

#include <shlobj.h>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Saved = DesktopMoved::Saved;

Saved ReadValue(const char* keyPath, const char* name)
{
    Saved saved;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return saved;
    char data[2048] = {};
    DWORD size = sizeof data;
    saved.present = RegQueryValueExA(key, name, nullptr, &saved.type,
                                     reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    saved.data.assign(data, saved.present ? size : 0);
    RegCloseKey(key);
    return saved;
}

bool WriteValue(const char* keyPath, const char* name, const Saved& saved)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG result = saved.present
        ? RegSetValueExA(key, name, 0, saved.type, reinterpret_cast<const BYTE*>(saved.data.data()),
                         static_cast<DWORD>(saved.data.size()))
        : RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

bool RunValuePresent(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool present =
        RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

void DeleteRunValue(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

std::string DesktopShortcutPath()
{
    char desktop[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOP, FALSE);
    return std::string(desktop) + "\\Zorvane v1.0.lnk";
}

// Reading the moved folder makes the shell write "Shell Folders" too, so both are kept.
DesktopMoved::DesktopMoved(const std::string& path)
    : m_userShellFolder(ReadValue(kUserShellFolders, "Desktop")),
      m_shellFolder(ReadValue(kShellFolders, "Desktop"))
{
    Saved moved;
    moved.present = true;
    moved.type = REG_SZ;
    moved.data = path + std::string(1, '\0');
    m_moved = m_userShellFolder.present && WriteValue(kUserShellFolders, "Desktop", moved);
}

DesktopMoved::~DesktopMoved()
{
    if (!m_moved)
        return;
    WriteValue(kUserShellFolders, "Desktop", m_userShellFolder);
    WriteValue(kShellFolders, "Desktop", m_shellFolder);
}
