// srv.xml: the default servers and command, and the default file made of them.
#include "config/DefaultConfig.h"

#include "config/ConfigXml.h"
#include "config/TextEncoding.h"
#include "framework/AfxApp.h"

#include <algorithm>
#include <cstring>

const ServerEntry DefaultServers[kDefaultServerCount] = {
    {"time-a-g.nist.gov", "129.6.15.28"},   {"time-b-g.nist.gov", "129.6.15.29"},
    {"time-c-g.nist.gov", "129.6.15.30"},   {"time-a-wwv.nist.gov", "132.163.97.1"},
    {"time-b-wwv.nist.gov", "132.163.97.2"}, {"time-a-b.nist.gov", "132.163.96.1"},
    {"time-b-b.nist.gov", "132.163.96.2"},
};

const char* FirstDefaultAddress()
{
    return DefaultServers[0].address;
}

std::string DefaultAutorunCommand(const char* exePath)
{
    return std::string("\"") + (exePath ? exePath : "") + "\" /ip " + FirstDefaultAddress();
}

// All of the buffer but its last byte is offered, so a command cut where the buffer is full
// stays terminated.
std::string DefaultCommandInUtf8(const std::string& gbkCommand, size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    return ConvertInBuffer("UTF-8", "GBK", gbkCommand, bufferSize, bufferSize - 1).text;
}

namespace {

// max(260, 2 x length of the process command line), and never less than the command needs:
// a program started by its bare name from a long folder has a short command line and a long
// path. A GBK byte takes at most three in UTF-8 (0x80, the euro sign).
size_t DefaultCommandBufferSize(const std::string& gbkCommand)
{
    return std::max({size_t{260}, 2 * std::strlen(GetCommandLineA()), 3 * gbkCommand.size() + 1});
}

const xmlChar* XmlText(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

bool HoldsContent(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return false;
    return data.nFileSizeLow != 0 || data.nFileSizeHigh != 0;
}

XmlDocHolder BuildDefaultDocument(const std::string& utf8Command)
{
    XmlDocHolder doc(xmlNewDoc(XmlText("1.0")));
    if (!doc)
        return nullptr;
    xmlNodePtr root = xmlNewNode(nullptr, XmlText("srv_root"));
    xmlDocSetRootElement(doc.get(), root);
    xmlNodePtr cfg = xmlNewChild(root, nullptr, XmlText("cfg"), nullptr);
    xmlNodePtr autorun = xmlNewChild(cfg, nullptr, XmlText("autorun"), nullptr);
    xmlAddChild(autorun, xmlNewCDataBlock(doc.get(), XmlText(utf8Command.c_str()),
                                          static_cast<int>(utf8Command.size())));
    for (const ServerEntry& server : DefaultServers) {
        xmlNodePtr srv = xmlNewChild(root, nullptr, XmlText("srv"), nullptr);
        xmlNewChild(srv, nullptr, XmlText("url"), XmlText(server.host));
        xmlNewChild(srv, nullptr, XmlText("ip"), XmlText(server.address));
    }
    return doc;
}

}  // namespace

// Writes only where there is nothing yet (a missing or empty file), so an existing file is
// never replaced.
bool WriteDefaultConfigHolding(const char* path, const std::string& utf8Command, DWORD* error)
{
    if (!path || !*path || HoldsContent(path)) {
        if (error)
            *error = ERROR_FILE_EXISTS;
        return false;
    }
    ApplyLibrarySettings();
    XmlDocHolder doc = BuildDefaultDocument(utf8Command);
    return SaveConfigDocument(doc.get(), path, error);
}

bool WriteDefaultConfig(const char* path)
{
    ParserCleanupAtEnd cleanup;
    const std::string command = DefaultAutorunCommand(AfxGetModuleFileName().c_str());
    const std::string utf8 = DefaultCommandInUtf8(command, DefaultCommandBufferSize(command));
    return WriteDefaultConfigHolding(path, utf8, nullptr);
}

