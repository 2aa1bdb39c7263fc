#pragma once

#include <windows.h>

// The key of the autostart values, under HKEY_LOCAL_MACHINE.
inline constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The autostart value under the Run key. True when the registry ended in the wanted state;
// otherwise *error (when asked for) holds the registry's error code, ERROR_FILE_NOT_FOUND when
// there was no value to delete.
bool IsAutorunValuePresent(const char* valueName);
bool SetAutorunValue(const char* valueName, const char* command, bool enable,
                     DWORD* error = nullptr);

// SetAutorunValue and IsAutorunValuePresent afterwards, with the key opened once.
struct AutorunChange {
    DWORD error = ERROR_SUCCESS;  // ERROR_SUCCESS when the value ended as wanted
    bool present = false;         // whether the value is there afterwards
};
AutorunChange ChangeAutorunValue(const char* valueName, const char* command, bool enable);

// Why a shortcut step failed: a system code (a Win32 error or an HRESULT), or one of the values
// of SHFileOperationA's own (DE_*), which some system codes equal without sharing their meaning.
struct ShortcutError {
    enum Source { System, FileOperation };
    Source source = System;
    DWORD code = ERROR_SUCCESS;
};

// True for the results of SHFileOperationA that are its own values; its other results are
// system error codes.
bool IsFileOperationOwnCode(DWORD result);
// What SHFileOperationA's answer means: an operation it aborted (the user cancelled it, say)
// is DE_OPCANCELLED (0x75) although the result is 0; code 0 of System is success.
ShortcutError FileOperationError(DWORD result, BOOL aborted);
// What a deletion came to, judged by the file: gone is success whatever the shell answered
// (there may have been nothing to delete); still there is a failure, with the shell's reason,
// or ERROR_ACCESS_DENIED when the shell answered success all the same.
ShortcutError DeletionOutcome(const ShortcutError& shellAnswer, bool fileRemains);

// "Zorvane v1.0.lnk" in the user's desktop folder. True when the file was saved, or is no
// longer there after a deletion; otherwise *error (when asked for) says why.
bool UpdateDesktopShortcut(const char* targetPath, bool create, ShortcutError* error = nullptr);
bool IsDesktopShortcutPresent(const char* targetPath);

// The Win32 code inside an HRESULT of that facility; any other HRESULT as it is.
DWORD SystemErrorCode(HRESULT result);
