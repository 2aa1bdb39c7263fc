#include "app/MainWindowText.h"

std::string DirectoryOfExecutable(const std::string& fullPath)
{
    for (size_t i = fullPath.size(); i-- > 0;) {
        char c = fullPath[i];
        if (c == '\\' || c == '/')
            return fullPath.substr(0, i + 1);
        if (c == ':')
            return fullPath.substr(0, i + 1) + "/";
    }
    return fullPath;
}

std::string HelpPageAddress(const std::string& exeDir)
{
    std::string address = "file:///";
    for (char c : exeDir)
        address.push_back(c == '\\' ? '/' : c);
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
