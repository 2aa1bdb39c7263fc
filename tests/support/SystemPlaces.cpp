#include "support/SystemPlaces.h"

#include <shlobj.h>

#include <vector>

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace

RunValue ReadRunValue(const char* name)
{
    RunValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.found = RegQueryValueExA(key, name, nullptr, &value.type,
                                       reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

bool WriteRunValue(const char* name, const std::string& bytes, DWORD type)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void DeleteRunValue(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

std::map<std::string, std::string> RunValues()
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[16384];
        DWORD nameSize = sizeof name;
        std::vector<char> data(8192);
        DWORD dataSize = static_cast<DWORD>(data.size());
        if (RegEnumValueA(key, index, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                          &dataSize) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameSize)] = std::string(data.data(), dataSize);
    }
    RegCloseKey(key);
    return values;
}

RunValueGuard::~RunValueGuard()
{
    if (m_saved.found)
        WriteRunValue(m_name.c_str(), m_saved.data, m_saved.type);
    else
        DeleteRunValue(m_name.c_str());
}

std::string DesktopFolder()
{
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_DESKTOP, FALSE))
        return {};
    return folder;
}

std::string DesktopShortcutFile()
{
    std::string folder = DesktopFolder();
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder + "Zorvane v1.0.lnk";
}
