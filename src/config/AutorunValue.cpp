#include "config/AutorunValue.h"

#include "framework/ScopedWin.h"

#include <mbctype.h>
#include <mbstring.h>

#include <cstring>

namespace {

constexpr DWORD kValueBufferSize = 260;

// An empty name would address the key's unnamed default value, which is not ours.
bool IsUsableName(const char* valueName)
{
    return valueName && *valueName;
}

// Reads a value of at most 260 bytes; value has one spare byte so it always ends in a zero.
LONG ReadRunValue(const RegistryKey& key, const char* valueName, char (&value)[kValueBufferSize + 1])
{
    DWORD size = kValueBufferSize;
    return RegQueryValueExA(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                            &size);
}

LONG WriteRunValue(const RegistryKey& key, const char* valueName, const char* command)
{
    const DWORD size = static_cast<DWORD>(std::strlen(command) + 1);
    return RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                          size);
}

// _mbsicmp follows the C library's multibyte code page; it must be the ANSI one (936 for our
// GBK texts), or trail bytes that look like Latin letters would be folded.
bool IsSameCommand(const char* stored, const char* command)
{
    if (_getmbcp() != static_cast<int>(GetACP()))
        _setmbcp(_MB_CP_ANSI);
    return _mbsicmp(reinterpret_cast<const unsigned char*>(stored),
                    reinterpret_cast<const unsigned char*>(command)) == 0;
}

bool IsValuePresent(const RegistryKey& key, const char* valueName)
{
    DWORD type = 0;
    return RegQueryValueExA(key.get(), valueName, nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
}

// ERROR_SUCCESS when the value ends as wanted; otherwise the registry's error code.
LONG ApplyToRunValue(const RegistryKey& key, const char* valueName, const char* command, bool enable)
{
    char present[kValueBufferSize + 1] = {};
    const LONG read = ReadRunValue(key, valueName, present);
    // A value too long for the buffer is there all the same: unticking removes whatever was
    // written, however long.
    if (!enable)
        return read == ERROR_SUCCESS || read == ERROR_MORE_DATA ? RegDeleteValueA(key.get(), valueName)
                                                                : read;
    if (read == ERROR_SUCCESS && IsSameCommand(present, command))
        return ERROR_SUCCESS;
    return WriteRunValue(key, valueName, command);
}

} // namespace

bool IsAutorunValuePresent(const char* valueName)
{
    if (!IsUsableName(valueName))
        return false;
    RegistryKey key(HKEY_LOCAL_MACHINE, kRunKeyPath);
    return key && IsValuePresent(key, valueName);
}

bool SetAutorunValue(const char* valueName, const char* command, bool enable, DWORD* error)
{
    const AutorunChange change = ChangeAutorunValue(valueName, command, enable);
    if (error)
        *error = change.error;
    return change.error == ERROR_SUCCESS;
}

AutorunChange ChangeAutorunValue(const char* valueName, const char* command, bool enable)
{
    if (!IsUsableName(valueName))
        return {ERROR_INVALID_NAME, false};
    RegistryKey key(HKEY_LOCAL_MACHINE, kRunKeyPath);
    if (enable && !(command && *command))
        return {ERROR_INVALID_DATA, key && IsValuePresent(key, valueName)};
    if (!key)
        return {static_cast<DWORD>(key.status()), false};
    const LONG status = ApplyToRunValue(key, valueName, command, enable);
    return {static_cast<DWORD>(status), IsValuePresent(key, valueName)};
}
