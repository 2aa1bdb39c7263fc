#include "support/TempDir.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

TempDir::TempDir(const std::string& name)
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static LONG counter = 0;
    do {
        m_path = base + name + '_' + std::to_string(GetCurrentProcessId()) + '_' +
                 std::to_string(InterlockedIncrement(&counter)) + '\\';
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            return;
    } while (GetLastError() == ERROR_ALREADY_EXISTS);
    std::abort();
}

TempDir::~TempDir()
{
    const std::string list = m_path.substr(0, m_path.size() - 1) + '\0' + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&op);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &entry);
    for (bool found = search != INVALID_HANDLE_VALUE; found; found = FindNextFileA(search, &entry))
        if (std::string(entry.cFileName) != "." && std::string(entry.cFileName) != "..")
            names.push_back(entry.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

std::string ExePath()
{
    char path[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string WinePathFromEnv(const char* variable)
{
    const char* unixPath = std::getenv(variable);
    std::string path = unixPath ? std::string("Z:") + unixPath : "";
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}
