#include "config/DesktopShortcut.h"

#include "config/ShortcutPath.h"
#include "config/TextEncoding.h"
#include "framework/ScopedWin.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <optional>
#include <string>

namespace {

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
