#pragma once

#include <windows.h>

// The key of the autostart values, under HKEY_LOCAL_MACHINE.
inline constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The autostart value under the Run key. True when the registry ended in the wanted state;
// otherwise *error (when asked for) holds the registry's error code, ERROR_FILE_NOT_FOUND when
// there was no value to delete.
bool IsAutorunValuePresent(const char* valueName);
// The window calls ChangeAutorunValue instead, which also says whether the value is left.
bool SetAutorunValue(const char* valueName, const char* command, bool enable,
                     DWORD* error = nullptr);

// SetAutorunValue and IsAutorunValuePresent afterwards, with the key opened once.
struct AutorunChange {
    DWORD error = ERROR_SUCCESS;  // ERROR_SUCCESS when the value ended as wanted
    bool present = false;         // whether the value is there afterwards
};
AutorunChange ChangeAutorunValue(const char* valueName, const char* command, bool enable);
