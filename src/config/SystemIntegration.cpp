#include "config/SystemIntegration.h"

#include "config/ShortcutPath.h"
#include "config/TextEncoding.h"
#include "framework/ScopedWin.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <mbctype.h>
#include <mbstring.h>

#include <cstring>
#include <optional>
#include <string>

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

enum class ShortcutAction { Save, Delete, Load };

// Target and working directory (the target's folder) of the link.
bool DescribeTarget(IShellLinkA* link, const char* targetPath)
{
    char folder[kShortcutPathBufferSize] = {};
    if (std::strlen(targetPath) >= sizeof folder)
        return false;
    std::strcpy(folder, targetPath);
    PathRemoveFileSpecA(folder);
    link->SetPath(targetPath);
    link->SetWorkingDirectory(folder);
    return true;
}

bool GetDesktopShortcutPath(char (&path)[kShortcutPathBufferSize])
{
    std::memset(path, 0, sizeof path);
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE)) {
        std::memset(path, 0, sizeof path);
        return false;
    }
    return AppendShortcutFileName(path, sizeof path);
}

ShortcutError SystemError(HRESULT result)
{
    return {ShortcutError::System, SystemErrorCode(result)};
}

constexpr DWORD kOperationCancelled = 0x75;  // DE_OPCANCELLED

// Anything but the system's word that there is no such file counts as the file being there.
bool FileRemains(const char* path)
{
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// path is followed by a second zero, so it is a file list of one entry. Without
// FOF_ALLOWUNDO the file is deleted, not moved to the recycle bin. The shell's answer alone
// is not trusted: Wine's answers success for a file whose folder refuses the deletion.
ShortcutError DeleteShortcutFile(const char* path)
{
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = path;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    const DWORD result = static_cast<DWORD>(SHFileOperationA(&operation));
    return DeletionOutcome(FileOperationError(result, operation.fAnyOperationsAborted), FileRemains(path));
}

ShortcutError ApplyToShortcutFile(IPersistFile* file, const char* path, ShortcutAction action)
{
    if (action == ShortcutAction::Delete)
        return DeleteShortcutFile(path);
    const std::optional<std::wstring> widePath = WideOfNarrow(path);
    if (!widePath)
        return SystemError(HRESULT_FROM_WIN32(GetLastError()));
    if (action == ShortcutAction::Save)
        return SystemError(file->Save(widePath->c_str(), TRUE));
    return SystemError(file->Load(widePath->c_str(), STGM_READWRITE));
}

ShortcutError RunShortcutAction(const char* targetPath, ShortcutAction action)
{
    if (!targetPath)
        return SystemError(E_INVALIDARG);
    ComInitialization com;
    ComPtr<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, link.put());
    if (FAILED(result))
        return SystemError(result);
    if (!DescribeTarget(link.get(), targetPath))
        return SystemError(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
    ComPtr<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.put());
    if (FAILED(result))
        return SystemError(result);
    char path[kShortcutPathBufferSize];
    if (!GetDesktopShortcutPath(path))
        return SystemError(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND));
    return ApplyToShortcutFile(file.get(), path, action);
}

} // namespace

// The values the shell documents as its own, left from before Win32: DE_SAMEFILE (0x71) to
// DE_SRC_IS_CDRECORD (0x88) but for three gaps, DE_ERROR_MAX, an unknown error (0x402),
// ERRORONDEST and ERRORONDEST | DE_ROOTDIR.
ShortcutError FileOperationError(DWORD result, BOOL aborted)
{
    if (result == 0 && aborted)
        return {ShortcutError::FileOperation, kOperationCancelled};
    return {IsFileOperationOwnCode(result) ? ShortcutError::FileOperation : ShortcutError::System,
            result};
}

// A file the system kept although the shell reported it deleted leaves no code behind (Wine:
// the shell, GetLastError and DeleteFileA all say success): the system denied the deletion.
ShortcutError DeletionOutcome(const ShortcutError& shellAnswer, bool fileRemains)
{
    if (!fileRemains)
        return {};
    if (shellAnswer.code != ERROR_SUCCESS)
        return shellAnswer;
    return {ShortcutError::System, ERROR_ACCESS_DENIED};
}

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

bool UpdateDesktopShortcut(const char* targetPath, bool create, ShortcutError* error)
{
    const ShortcutError result =
        RunShortcutAction(targetPath, create ? ShortcutAction::Save : ShortcutAction::Delete);
    if (error)
        *error = result;
    return result.code == ERROR_SUCCESS;
}

// Present when the link file loads as a shell link, whatever its target.
bool IsDesktopShortcutPresent(const char* targetPath)
{
    return RunShortcutAction(targetPath, ShortcutAction::Load).code == ERROR_SUCCESS;
}
