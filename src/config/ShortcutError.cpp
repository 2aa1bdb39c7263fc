#include "config/ShortcutError.h"

constexpr DWORD kOperationCancelled = 0x75;  // DE_OPCANCELLED

ShortcutError FileOperationError(DWORD result, BOOL aborted)
{
    if (result == 0 && aborted)
        return {ShortcutError::FileOperation, kOperationCancelled};
    return {IsFileOperationOwnCode(result) ? ShortcutError::FileOperation : ShortcutError::System,
            result};
}

// The values the shell documents as its own, left from before Win32: DE_SAMEFILE (0x71) to
// DE_SRC_IS_CDRECORD (0x88) but for three gaps, DE_ERROR_MAX, an unknown error (0x402),
// ERRORONDEST and ERRORONDEST | DE_ROOTDIR.
bool IsFileOperationOwnCode(DWORD result)
{
    if (result >= 0x71 && result <= 0x88)
        return result != 0x77 && result != 0x7B && result != 0x7F;
    return result == 0xB7 || result == 0x402 || result == 0x10000 || result == 0x10074;
}

DWORD SystemErrorCode(HRESULT result)
{
    if (SUCCEEDED(result))
        return ERROR_SUCCESS;
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                      : static_cast<DWORD>(result);
}
