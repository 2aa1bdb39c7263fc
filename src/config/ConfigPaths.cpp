// Creating srv.xml's folder chain and the empty file when they are missing.
#include "config/ConfigPaths.h"

#include "framework/NarrowText.h"
#include "framework/ScopedWin.h"

#include <io.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kMaxDirectoryText = 10000;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Length of the directory part, its last separator included; 0 without a separator.
size_t DirectoryPartLength(const char* path)
{
    const size_t last = LastCharacterOf(path, "\\/");
    return last == std::string::npos ? 0 : last + 1;
}

bool EnsureDirectory(const std::string& prefix)
{
    return PathFileExistsA(prefix.c_str()) || CreateDirectoryA(prefix.c_str(), nullptr);
}

}  // namespace

int GetDirectoryPart(const char* path, char* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return 0;
    size_t length = path ? DirectoryPartLength(path) : 0;
    if (length > capacity - 1)
        length = capacity - 1;
    if (length > 0)
        std::memcpy(buffer, path, length);
    buffer[length] = '\0';
    return static_cast<int>(length + 1);
}

bool CreateDirectoryChain(const char* directory)
{
    if (!directory)
        return false;
    size_t length = std::strlen(directory);
    if (length == 0 || length > kMaxDirectoryText)
        return false;
    for (size_t i = 0; i < length;) {
        size_t next = i + CharacterLength(directory, i);
        if ((IsSeparator(directory[i]) || next >= length) &&
            !EnsureDirectory(std::string(directory, next)))
            return false;
        i = next;
    }
    return true;
}

bool EnsureConfigFile(const char* path)
{
    if (!path || !*path)
        return false;
    if (_access(path, 0) == 0)
        return true;
    std::vector<char> directory(std::strlen(path) + 1);
    GetDirectoryPart(path, directory.data(), directory.size());
    // A bare file name lies in the current folder, which exists.
    if (directory[0] && _access(directory.data(), 0) != 0 && !CreateDirectoryChain(directory.data()))
        return false;
    ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

std::string ConfigPathIn(const char* directory)
{
    return std::string(directory ? directory : "") + "srv.xml";
}
