#include "app/MainWindowText.h"

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

// Only a backslash of its own becomes '/', never the trail byte of a GBK character.
std::string HelpPageAddress(const std::string& exeDir)
{
    std::string address = "file:///";
    const char* dir = exeDir.c_str();
    for (size_t i = 0; dir[i]; i += CharacterLength(dir, i)) {
        if (dir[i] == '\\')
            address += '/';
        else
            address.append(dir + i, CharacterLength(dir, i));
    }
    return address + kHelpPageFileName;
}

std::string BuildHelpText(const char* firstServerAddress, const std::string& helpPageAddress)
{
    const char* gap = "\r\n\r\n";
    std::string text = gap;
    text += gap + std::string("请选择时间服务器");
    text += gap + std::string("然后双击校正时间");
    text += gap + std::string("本程序支持命令行调用，格式为:");
    text += gap + std::string("Zorvane.exe /ip ") + firstServerAddress;
    text += gap + std::string("本程序使用说明见:");
    text += gap + helpPageAddress;
    text += "\r\n\r\n\r\n";
    return text;
}
