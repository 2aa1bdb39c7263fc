#include "app/MainWindowText.h"

#include "framework/NarrowText.h"

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
