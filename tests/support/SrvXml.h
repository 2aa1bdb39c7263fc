// srv.xml texts for tests, written here rather than taken from the code under test.
#pragma once

#include <string>
#include <utility>
#include <vector>

using ServerRows = std::vector<std::pair<std::string, std::string>>;  // host, address

// The seven servers of the default file, in file order.
extern const ServerRows kDefaultServers;

// srv.xml in the form the program saves (two spaces a level) around the element inside
// <cfg> and the rows, all UTF-8 and put in as they are.
std::string SavedSrvXml(const std::string& cfgElement, const ServerRows& rows);
inline std::string AutorunElement(const std::string& command) { return "<autorun>" + command + "</autorun>"; }
inline std::string CdataAutorunElement(const std::string& command)
{
    return "<autorun><![CDATA[" + command + "]]></autorun>";
}
// The default srv.xml as the program saves it, around the given UTF-8 command.
inline std::string DefaultFileText(const std::string& utf8Command)
{
    return SavedSrvXml(CdataAutorunElement(utf8Command), kDefaultServers);
}

// UTF-8 form of a GBK text by the platform, independent of the converter under test.
std::string Utf8OfGbk(const std::string& gbk);

// srv.xml with its declaration around markup of the root element's content, put in as it is.
std::string SrvXmlAround(const std::string& rootContent);

// A file: address of a Windows path in GBK ("file:///C:/a/b").
std::string FileUrl(const std::string& windowsPath);
