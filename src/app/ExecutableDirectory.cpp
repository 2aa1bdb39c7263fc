#include "app/ExecutableDirectory.h"

#include "config/NarrowText.h"

// The last separator or colon that is a character of its own, not a trail byte.
std::string DirectoryOfExecutable(const std::string& fullPath)
{
    const char* path = fullPath.c_str();
    size_t cut = std::string::npos;
    for (size_t i = 0; path[i]; i += CharacterLength(path, i)) {
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':')
            cut = i;
    }
    if (cut == std::string::npos)
        return fullPath;
    std::string directory = fullPath.substr(0, cut + 1);
    return path[cut] == ':' ? directory + "/" : directory;
}
