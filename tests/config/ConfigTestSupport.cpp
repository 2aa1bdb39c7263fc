#include "ConfigTestSupport.h"

#include <vector>

std::string Utf8OfGbk(const std::string& gbk)
{
    int wideLength = MultiByteToWideChar(936, 0, gbk.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(936, 0, gbk.c_str(), -1, wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    std::vector<char> utf8(length);
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), length, nullptr, nullptr);
    return utf8.data();
}

std::string DefaultFileText(const std::string& utf8Command)
{
    return SavedSrvXml(CdataAutorunElement(utf8Command), kDefaultServers);
}
