#pragma once

#include <windows.h>

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

// The Win32 code inside an HRESULT of that facility; any other HRESULT as it is.
DWORD SystemErrorCode(HRESULT result);
