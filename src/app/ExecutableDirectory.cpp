#include "app/ExecutableDirectory.h"

#include "framework/NarrowText.h"

// The last separator or colon that is a character of its own, not a trail byte.
std::string DirectoryOfExecutable(const std::string& fullPath)
{
    const size_t cut = LastCharacterOf(fullPath.c_str(), "\\/:");
    if (cut == std::string::npos)
        return fullPath;
    std::string directory = fullPath.substr(0, cut + 1);
    return fullPath[cut] == ':' ? directory + "/" : directory;
}
