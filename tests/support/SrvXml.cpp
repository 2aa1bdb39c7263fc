#include "support/SrvXml.h"

#include <windows.h>

#include <vector>

const ServerRows kDefaultServers = {
    {"time-a-g.nist.gov", "129.6.15.28"},   {"time-b-g.nist.gov", "129.6.15.29"},
    {"time-c-g.nist.gov", "129.6.15.30"},   {"time-a-wwv.nist.gov", "132.163.97.1"},
    {"time-b-wwv.nist.gov", "132.163.97.2"}, {"time-a-b.nist.gov", "132.163.96.1"},
    {"time-b-b.nist.gov", "132.163.96.2"},
};

std::string SavedSrvXml(const std::string& cfgElement, const ServerRows& rows)
{
    std::string content = "\n  <cfg>\n    " + cfgElement + "\n  </cfg>\n";
    for (const auto& row : rows)
        content += "  <srv>\n    <url>" + row.first + "</url>\n    <ip>" + row.second + "</ip>\n  </srv>\n";
    return SrvXmlAround(content);
}

std::string SrvXmlAround(const std::string& rootContent)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<srv_root>" + rootContent + "</srv_root>\n";
}

std::string FileUrl(const std::string& windowsPath)
{
    std::string url = "file:///";
    for (size_t i = 0; i < windowsPath.size(); ++i) {
        url.push_back(windowsPath[i] == '\\' ? '/' : windowsPath[i]);
        if (IsDBCSLeadByteEx(936, static_cast<BYTE>(windowsPath[i])) && i + 1 < windowsPath.size())
            url.push_back(windowsPath[++i]);  // a trail byte, even one that looks like a backslash
    }
    return url;
}

std::string Utf8OfGbk(const std::string& gbk)
{
    std::vector<wchar_t> wide(gbk.size() + 1);
    MultiByteToWideChar(936, 0, gbk.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    std::vector<char> utf8(3 * wide.size());
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    return utf8.data();
}
