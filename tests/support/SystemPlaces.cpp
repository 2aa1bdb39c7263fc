#include "support/SystemPlaces.h"

#include "framework/ScopedWin.h"
#include "support/MainWindowFacts.h"

#include <sddl.h>
#include <shlobj.h>

#include <ostream>
#include <vector>

// Being const, these are seen in this file only.
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

RegistryValue ReadRegistryValue(HKEY root, const char* keyPath, const char* name)
{
    RegistryValue value;
    const RegistryKey key(root, keyPath);
    DWORD size = 0;
    if (key && RegQueryValueExA(key.get(), name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.found = RegQueryValueExA(key.get(), name, nullptr, &value.type,
                                       reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    return value;
}

void PrintTo(const RegistryValue& value, std::ostream* out)
{
    *out << (value.found ? "type " + std::to_string(value.type) + ", " + std::to_string(value.data.size()) +
                               " bytes: " + value.data.c_str()
                         : "(none)");
}

bool WriteRegistryValue(HKEY root, const char* keyPath, const char* name, const RegistryValue& value)
{
    const LONG status = value.found ? RegSetKeyValueA(root, keyPath, name, value.type, value.data.data(),
                                                      static_cast<DWORD>(value.data.size()))
                                    : RegDeleteKeyValueA(root, keyPath, name);
    return status == ERROR_SUCCESS;
}

std::map<std::string, std::string> RunValues()
{
    std::map<std::string, std::string> values;
    const RegistryKey key(HKEY_LOCAL_MACHINE, kRunKey);
    for (DWORD index = 0; key; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        std::vector<char> data(8192);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key.get(), index, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                          &dataSize) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameSize)] = std::string(data.data(), dataSize);
    }
    return values;
}

RunKeyRemoved::RunKeyRemoved()
{
    for (const auto& [name, data] : RunValues())
        m_saved[name] = ReadRunValue(name.c_str());
    m_removed = RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunKey) == ERROR_SUCCESS;
}

RunKeyRemoved::~RunKeyRemoved()
{
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kRunKey, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
    for (const auto& [name, value] : m_saved)
        WriteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, name.c_str(), value);
}

RunKeyReadOnly::RunKeyReadOnly()
{
    DWORD size = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, READ_CONTROL | WRITE_DAC, &m_key) != ERROR_SUCCESS ||
        RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &size) != ERROR_INSUFFICIENT_BUFFER)
        return;
    m_saved.resize(size);
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data(), &size) != ERROR_SUCCESS ||
        !ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr)) {
        m_saved.clear();
        return;
    }
    m_readOnly = RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
    LocalFree(readOnly);
}

RunKeyReadOnly::~RunKeyReadOnly()
{
    if (!m_saved.empty())
        RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data());
    if (m_key)
        RegCloseKey(m_key);
}

void SystemPlacesCleanup::Clear() const
{
    for (const std::string& name : m_runValueNames)
        DeleteRunValue(name.c_str());
    if (m_shortcut)
        DeleteFileA(DesktopShortcutFile().c_str());
}

std::string DesktopFolder()
{
    char folder[MAX_PATH] = {};
    return SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOP, FALSE) ? folder : "";
}

std::string DesktopShortcutFile()
{
    std::string folder = DesktopFolder();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder + kMainWindowTitle + ".lnk";
}

DesktopMoved::DesktopMoved(const std::string& path)
    : m_userShellFolder(HKEY_CURRENT_USER, kUserShellFolders, "Desktop"),
      m_shellFolder(HKEY_CURRENT_USER, kShellFolders, "Desktop")
{
    m_moved = m_userShellFolder.saved().found &&
              WriteRegistryValue(HKEY_CURRENT_USER, kUserShellFolders, "Desktop", {true, REG_SZ, path + '\0'});
}
